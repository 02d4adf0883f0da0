// Tomahawk and Tomahawk2 speed port classes: the four-lane 100G port (and
// its fabric use), the gangable 25G port, the management 10G port and the
// Tomahawk2 100G port that lends sub-ports to its neighbour.
#include "asicmodel/core/family_tables.hpp"
#include "asicmodel/core/lane_naming.hpp"
#include "asicmodel/core/lane_port_signatures.hpp"
#include "asicmodel/core/names.hpp"
#include "asicmodel/core/port_mode_rules.hpp"
#include "asicmodel/core/registrations.hpp"
#include "asicmodel/tomahawk_maverick/family_constructor.hpp"
#include "asicmodel/tomahawk_maverick/family_rules.hpp"
#include "asicmodel/tomahawk_maverick/mode_tables.hpp"
#include "common/host_calls.hpp"

namespace asicmodel {

namespace {

const char* const kTomahawk100GFabricDoc =
    "Fabric ports are 100G Tomahawk ports using KR4 serdes and no LEDs.";

constexpr auto kFabricSignature = make_signature(
    {"label", "serdes", "tx_polarity_flip", "rx_polarity_flip", "tx_lane_map", "rx_lane_map"},
    {{"sdk_group"}});

constexpr auto kTomahawkTwo100GSignature = make_signature(
    {"label", "adj_label", "serdes", "phy_types", "phy_addrs", "phy_layer", "leds", "unit"},
    {{"rx_lane_map"},
     {"rx_polarity_flip"},
     {"tx_lane_map"},
     {"tx_polarity_flip"},
     {"mdi_pair_map"},
     {"pre_emphasis"},
     {"blocked_adj_split"},
     {"drv_current"},
     {"pre_drv_current"},
     {"oversub", Default::kFalse},
     {"phy_id1"},
     {"sys_interface"},
     {"prim_offset"}});

py::object tomahawk_speed_port_init(py::handle self, Fields& arguments) {
  return init_base(names.TomahawkPort, self, arguments);
}

// A fabric link with KR4 serdes at 100G.
py::object tomahawk_100g_fabric_init(py::handle self, Fields& arguments) {
  Fields fields = family::fabric_link_fields(arguments);
  fields.set(names.phy_layer, Py_None);
  SW_CHECK(init_base(names.Tomahawk100GPort, self, fields));
  SW_CHECK(set_own_serdes_type(self, 100, "KR4"));
  SW_CHECK(common::set(self, names.sdk_group, arguments.get(names.sdk_group)));
  return common::none();
}

// The pairing is stored before the base constructor runs.
py::object tomahawk_two_100g_init(py::handle self, Fields& arguments) {
  py::object adj_label = arguments.pop(names.adj_label);
  SW_CHECK(common::set(self, names.adj_label, adj_label));
  py::object blocked_adj_split = arguments.pop(names.blocked_adj_split);
  SW_CHECK(common::set(self, names.blocked_adj_split, blocked_adj_split));
  return init_base(names.TomahawkTwoPort, self, arguments);
}

py::object blocked_adj_split_num(py::handle self) {
  SW_LET(split, common::get(self, names.blocked_adj_split));
  return split.is_none() ? common::integer(0) : split;
}

// Paired with a neighbour (adj_label given) the port splits in two at most.
py::object tomahawk_two_100g_max_logical_ports(py::handle self) {
  SW_LET(adj_label, common::get(self, names.adj_label));
  return common::integer(adj_label.is_none() ? 4 : 2);
}

// The 25G port by its mode texts: "25G" and "10G" are one port each; in
// "100G/4" and "40G/4" the gang leader carries the gang (one logical port
// over four physical ones) and the other members none.
constexpr const char* k25GSingleModes[] = {"25G", "10G"};
constexpr const char* k25GGangModes[] = {"100G/4", "40G/4"};

py::object tomahawk_25g_logical_ports(py::handle self, py::handle mode) {
  return family::gang_count(self, mode, k25GSingleModes, k25GGangModes, 1);
}

py::object tomahawk_25g_physical_ports(py::handle self, py::handle mode) {
  return family::gang_count(self, mode, k25GSingleModes, k25GGangModes, 4);
}

// The 100G speed map. Its keys, in the order they iterate here, are the
// class's `modes`, which the refused-mode message lists.
py::dict tomahawk_100g_speed_map() {
  return speed_map({{"40G", 40}, {"2x50G", 50}, {"100G", 100}, {"50G", 50},
                            {"2x20G", 20}, {"4x25G", 25}, {"4x10G", 10}, {"2x40G", 40}});
}

// The same map without "2x40G", for the Tomahawk2 100G port.
py::dict tomahawk_two_100g_speed_map() {
  return speed_map({{"40G", 40}, {"2x50G", 50}, {"100G", 100}, {"50G", 50},
                            {"2x20G", 20}, {"4x25G", 25}, {"4x10G", 10}});
}

}  // namespace

void define_tomahawk_speed_ports(Catalogue& catalogue) {
  ClassBuilder port_100g = catalogue.define("Tomahawk100GPort", "TomahawkPort");
  port_100g.attr("_speed_map", tomahawk_100g_speed_map())
      .attr("modes", family::keys_of(port_100g.get("_speed_map")))
      .attr("default_mode", py::str("100G"));
  bind_constructor(port_100g, kLaneSpeedPortSignature, &tomahawk_speed_port_init)
      .method("num_logical_ports", &breakout_logical_ports, {"self", "mode"})
      .property("max_logical_ports", &constant_count<4>)
      .method("polarity_flip_val", &family::breakout_polarity,
              {"self", "mode", "sub", "polarity_flip_list"})
      .build();

  ClassBuilder fabric = catalogue.define("Tomahawk100GFabricPort", "Tomahawk100GPort",
                                         kTomahawk100GFabricDoc);
  fabric.attr("is_fabric", py::bool_(true)).attr("create_fabric", py::bool_(true));
  bind_constructor(fabric, kFabricSignature, &tomahawk_100g_fabric_init)
      .property("max_logical_ports", &constant_count<1>)
      .build();

  ClassBuilder port_25g = catalogue.define("Tomahawk25GPort", "TomahawkPort");
  port_25g.attr("_speed_map", speed_map({{"10G", 10}, {"25G", 25}, {"40G/4", 40},
                                                 {"100G/4", 100}}))
      .attr("gang_modes", texts({"100G/4", "40G/4"}))
      .attr("max_gang_size", py::int_(4))
      .attr("modes", family::joined(texts({"25G", "10G"}), port_25g.get("gang_modes")))
      .attr("default_mode", port_25g.get("modes")[py::int_(0)]);
  bind_constructor(port_25g, kLaneSpeedPortSignature, &tomahawk_speed_port_init)
      .method("num_logical_ports", &tomahawk_25g_logical_ports, {"self", "mode"})
      .property("max_logical_ports", &constant_count<1>)
      .method("num_physical_ports", &tomahawk_25g_physical_ports, {"self", "mode"})
      .method("polarity_flip_val", &single_lane_polarity,
              {"self", "mode", "sub", "polarity_flip"})
      .build();

  // One lane, one mode; a flip follows the single-lane rule of the 25G port.
  ClassBuilder port_mgmt = catalogue.define("TomahawkMgmt10GPort", "TomahawkPort");
  port_mgmt.attr("_speed_map", speed_map({{"10G", 10}}))
      .attr("modes", family::keys_of(port_mgmt.get("_speed_map")))
      .attr("default_mode", py::str("10G"));
  bind_constructor(port_mgmt, kLaneSpeedPortSignature, &tomahawk_speed_port_init)
      .method("num_logical_ports", &family::checked_one_port, {"self", "mode"})
      .property("max_logical_ports", &constant_count<1>)
      .method("polarity_flip_val", &single_lane_polarity,
              {"self", "mode", "sub", "polarity_flip"})
      .build();

  ClassBuilder port_two = catalogue.define("TomahawkTwo100GPort", "TomahawkTwoPort");
  port_two.attr("_speed_map", tomahawk_two_100g_speed_map())
      .attr("modes", family::keys_of(port_two.get("_speed_map")))
      .attr("default_mode", py::str("100G"));
  bind_constructor(port_two, kTomahawkTwo100GSignature, &tomahawk_two_100g_init)
      .method("blocked_adj_split_num", &blocked_adj_split_num, {"self"})
      .method("num_logical_ports", &breakout_logical_ports, {"self", "mode"})
      .property("max_logical_ports", &tomahawk_two_100g_max_logical_ports)
      .method("polarity_flip_val", &family::breakout_polarity,
              {"self", "mode", "sub", "polarity_flip_list"})
      .build();
}

}  // namespace asicmodel
