// Tomahawk and Tomahawk2 speed port classes: the four-lane 100G port (and
// its fabric use), the gangable 25G port, the management 10G port and the
// Tomahawk2 100G port that lends sub-ports to its neighbour.
#include "asicmodel/core/family_tables.hpp"
#include "asicmodel/core/lane_naming.hpp"
#include "asicmodel/core/lane_port_signatures.hpp"
#include "asicmodel/core/port_mode_rules.hpp"
#include "asicmodel/core/registrations.hpp"
#include "asicmodel/tomahawk_maverick/family_constructor.hpp"
#include "asicmodel/tomahawk_maverick/family_rules.hpp"
#include "asicmodel/tomahawk_maverick/mode_tables.hpp"

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

void tomahawk_speed_port_init(py::object self, py::dict arguments) {
  init_base("TomahawkPort", self, arguments);
}

// A fabric link with KR4 serdes at 100G.
void tomahawk_100g_fabric_init(py::object self, py::dict arguments) {
  py::dict fields = family::fabric_link_fields(arguments);
  fields["phy_layer"] = py::none();
  init_base("Tomahawk100GPort", self, fields);
  set_own_serdes_type(self, 100, "KR4");
  self.attr("sdk_group") = arguments["sdk_group"];
}

void tomahawk_two_100g_init(py::object self, py::dict arguments) {
  self.attr("adj_label") = arguments.attr("pop")("adj_label");
  self.attr("blocked_adj_split") = arguments.attr("pop")("blocked_adj_split");
  init_base("TomahawkTwoPort", self, arguments);
}

py::object blocked_adj_split_num(py::object self) {
  py::object split = self.attr("blocked_adj_split");
  return split.is_none() ? py::int_(0) : split;
}

// Paired with a neighbour (adj_label given) the port splits in two at most.
py::object tomahawk_two_100g_max_logical_ports(py::object self) {
  return py::int_(self.attr("adj_label").is_none() ? 4 : 2);
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
  const py::arg self("self"), mode("mode"), sub("sub");

  ClassBuilder port_100g = catalogue.define("Tomahawk100GPort", "TomahawkPort");
  port_100g.attr("_speed_map", tomahawk_100g_speed_map())
      .attr("modes", family::keys_of(port_100g.get("_speed_map")))
      .attr("default_mode", py::str("100G"));
  bind_constructor(port_100g, kLaneSpeedPortSignature, &tomahawk_speed_port_init)
      .method("num_logical_ports", &breakout_logical_ports, self, mode)
      .property("max_logical_ports", &constant_count<4>)
      .method("polarity_flip_val", &family::breakout_polarity, self, mode, sub,
              py::arg("polarity_flip_list"))
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
      .method("num_logical_ports", &family::gang_logical_ports, self, mode)
      .property("max_logical_ports", &constant_count<1>)
      .method("num_physical_ports", &family::gang_physical_ports, self, mode)
      .method("polarity_flip_val", &single_lane_polarity, self, mode, sub,
              py::arg("polarity_flip"))
      .build();

  // One lane, one mode; a flip follows the single-lane rule of the 25G port.
  ClassBuilder port_mgmt = catalogue.define("TomahawkMgmt10GPort", "TomahawkPort");
  port_mgmt.attr("_speed_map", speed_map({{"10G", 10}}))
      .attr("modes", family::keys_of(port_mgmt.get("_speed_map")))
      .attr("default_mode", py::str("10G"));
  bind_constructor(port_mgmt, kLaneSpeedPortSignature, &tomahawk_speed_port_init)
      .method("num_logical_ports", &family::checked_one_port, self, mode)
      .property("max_logical_ports", &constant_count<1>)
      .method("polarity_flip_val", &single_lane_polarity, self, mode, sub,
              py::arg("polarity_flip"))
      .build();

  ClassBuilder port_two = catalogue.define("TomahawkTwo100GPort", "TomahawkTwoPort");
  port_two.attr("_speed_map", tomahawk_two_100g_speed_map())
      .attr("modes", family::keys_of(port_two.get("_speed_map")))
      .attr("default_mode", py::str("100G"));
  bind_constructor(port_two, kTomahawkTwo100GSignature, &tomahawk_two_100g_init)
      .method("blocked_adj_split_num", &blocked_adj_split_num, self)
      .method("num_logical_ports", &breakout_logical_ports, self, mode)
      .property("max_logical_ports", &tomahawk_two_100g_max_logical_ports)
      .method("polarity_flip_val", &family::breakout_polarity, self, mode, sub,
              py::arg("polarity_flip_list"))
      .build();
}

}  // namespace asicmodel
