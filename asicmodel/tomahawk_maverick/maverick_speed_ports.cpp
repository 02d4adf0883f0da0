// Maverick speed port classes: the 100G and 40G QSFP ports with their
// breakouts, the gangable 10G port, and the fabric uses of the 40G and 10G
// ports.
#include "asicmodel/core/family_tables.hpp"
#include "asicmodel/core/lane_naming.hpp"
#include "asicmodel/core/lane_port_signatures.hpp"
#include "asicmodel/core/names.hpp"
#include "asicmodel/core/phy_settings.hpp"
#include "asicmodel/core/port_mode_rules.hpp"
#include "asicmodel/core/registrations.hpp"
#include "asicmodel/tomahawk_maverick/family_constructor.hpp"
#include "asicmodel/tomahawk_maverick/family_rules.hpp"
#include "asicmodel/tomahawk_maverick/mode_tables.hpp"
#include "common/host_calls.hpp"

namespace asicmodel {

namespace {

const char* const kMaverick40GFabricDoc =
    "Fabric ports are 40G Maverick ports using KR4 serdes and no LEDs.";
const char* const kMaverick10GFabricDoc =
    "Fabric ports are 10G Maverick ports using KR serdes and no LEDs.";

constexpr auto k40GFabricSignature = make_signature(
    {"label", "serdes", "rx_lane_map", "rx_polarity_flip", "tx_lane_map", "tx_polarity_flip"},
    {{"sdk_group"}});

// The tuning arguments after the flips are accepted for the platform
// definitions' sake; a 10G fabric port keeps only the serdes tuning.
constexpr auto k10GFabricSignature = make_signature(
    {"label", "serdes", "rx_lane_map", "rx_polarity_flip", "tx_lane_map", "tx_polarity_flip"},
    {{"mdi_pair_map"},
     {"pre_emphasis"},
     {"drv_current"},
     {"pre_drv_current"},
     {"oversub", Default::kFalse},
     {"phy_id1"},
     {"sys_interface"},
     {"prim_offset"}});

// The QSFP classes fix the cage type and hand everything on by name.
py::object init_with_cage(py::handle cage, py::handle self, Fields& arguments) {
  arguments.set(names.phy_layer, cage);
  return init_base(names.MaverickPort, self, arguments);
}

py::object maverick_100g_init(py::handle self, Fields& arguments) {
  static const py::handle qsfp28 = common::forever(py::str("QSFP28"));
  return init_with_cage(qsfp28, self, arguments);
}

py::object maverick_40g_init(py::handle self, Fields& arguments) {
  static const py::handle qsfp_plus = common::forever(py::str("QSFP+"));
  return init_with_cage(qsfp_plus, self, arguments);
}

py::object maverick_10g_init(py::handle self, Fields& arguments) {
  return init_base(names.MaverickPort, self, arguments);
}

py::object maverick_40g_fabric_init(py::handle self, Fields& arguments) {
  SW_CHECK(init_base(names.Maverick40GPort, self, family::fabric_link_fields(arguments)));
  SW_CHECK(set_own_serdes_type(self, 40, "KR4"));
  SW_CHECK(common::set(self, names.sdk_group, arguments.get(names.sdk_group)));
  return common::none();
}

py::object maverick_10g_fabric_init(py::handle self, Fields& arguments) {
  Fields fields = family::fabric_link_fields(arguments);
  fields.set(names.phy_layer, Py_None);
  for (PyObject* name : {names.pre_emphasis, names.drv_current, names.pre_drv_current}) {
    fields.set(name, arguments.get(name));
  }
  SW_CHECK(init_base(names.Maverick10GPort, self, fields));
  SW_CHECK(set_own_serdes_type(self, 10, "KR"));
  return common::none();
}

// The 10G port by its mode texts: "1G" and "10G" are one port each; in
// "40G/4" the gang leader carries the gang (one logical port over four
// physical ones) and the other members none.
constexpr const char* k10GSingleModes[] = {"1G", "10G"};
constexpr const char* k10GGangModes[] = {"40G/4"};

py::object maverick_10g_logical_ports(py::handle self, py::handle mode) {
  return family::gang_count(self, mode, k10GSingleModes, k10GGangModes, 1);
}

py::object maverick_10g_physical_ports(py::handle self, py::handle mode) {
  return family::gang_count(self, mode, k10GSingleModes, k10GGangModes, 4);
}

// The 40G port by its mode texts: "4x10G" and "4x1G" split it in four,
// "40G" keeps it whole; any other mode a subclass offers has no answer.
py::object maverick_40g_logical_ports(py::handle self, py::handle mode) {
  constexpr const char* kSplit[] = {"4x10G", "4x1G"};
  SW_CHECK(check_mode_of(self, mode));
  SW_LET(split, family::mode_is_one_of(mode, kSplit));
  if (split) return common::integer(4);
  SW_LET(whole, mode_is(mode, "40G"));
  if (whole) return common::integer(1);
  return common::none();
}

// Split in four, each sub-port has its own lane bit; whole, the port keeps
// the full mask; any other mode has no answer.
py::object maverick_40g_polarity(py::handle self, py::handle mode, py::handle sub,
                                 py::handle polarity_flip_list) {
  constexpr const char* kSplit[] = {"4x1G", "4x10G"};
  SW_CHECK(check_mode_of(self, mode));
  SW_LET(split, family::mode_is_one_of(mode, kSplit));
  if (split) return family::lane_bit(polarity_flip_list, sub);
  SW_LET(whole, mode_is(mode, "40G"));
  if (whole) return common::ref(polarity_flip_list);
  return common::none();
}

// Clause 37 auto-negotiation: on for a fiber or DAC 10G port, no opinion
// for copper PHYs or other modes.
py::object maverick_10g_an_c37(py::handle self, py::handle mode) {
  return ten_gig_autoneg(self, mode, "on");
}

// Clause 73: off where clause 37 is on.
py::object maverick_10g_an_c73(py::handle self, py::handle mode) {
  return ten_gig_autoneg(self, mode, "off");
}

py::object fabric_an_c37(py::handle, py::handle) {
  static const py::handle off = common::forever(py::str("off"));
  return common::ref(off);
}

py::object fabric_an_c73(py::handle, py::handle) {
  static const py::handle automatic = common::forever(py::str("auto"));
  return common::ref(automatic);
}

py::object fabric_set_fiber_pref(py::handle) { return common::none(); }

}  // namespace

void define_maverick_speed_ports(Catalogue& catalogue) {
  ClassBuilder port_100g = catalogue.define("Maverick100GPort", "MaverickPort");
  // The speed map's keys, in the order they iterate, are the modes.
  port_100g.attr("_speed_map", speed_map({{"40G", 40}, {"2x50G", 50}, {"100G", 100},
                                                  {"50G", 50}, {"2x20G", 20}, {"4x25G", 25},
                                                  {"4x10G", 10}, {"2x40G", 40}}))
      .attr("modes", family::keys_of(port_100g.get("_speed_map")))
      .attr("default_mode", py::str("100G"));
  bind_constructor(port_100g, kQsfpSpeedPortSignature, &maverick_100g_init)
      .method("num_logical_ports", &breakout_logical_ports, {"self", "mode"})
      .property("max_logical_ports", &constant_count<4>)
      .method("polarity_flip_val", &family::breakout_polarity,
              {"self", "mode", "sub", "polarity_flip_list"})
      .build();

  ClassBuilder port_40g = catalogue.define("Maverick40GPort", "MaverickPort");
  port_40g.attr("_speed_map", speed_map({{"4x1G", 1}, {"4x10G", 10}, {"40G", 40}}))
      .attr("modes", texts({"40G", "4x10G", "4x1G"}))
      .attr("default_mode", py::str("40G"));
  bind_constructor(port_40g, kQsfpSpeedPortSignature, &maverick_40g_init)
      .method("num_logical_ports", &maverick_40g_logical_ports, {"self", "mode"})
      .property("max_logical_ports", &constant_count<4>)
      .method("polarity_flip_val", &maverick_40g_polarity,
              {"self", "mode", "sub", "polarity_flip_list"})
      .build();

  ClassBuilder fabric_40g =
      catalogue.define("Maverick40GFabricPort", "Maverick40GPort", kMaverick40GFabricDoc);
  fabric_40g.attr("is_fabric", py::bool_(true)).attr("create_fabric", py::bool_(true));
  bind_constructor(fabric_40g, k40GFabricSignature, &maverick_40g_fabric_init)
      .property("max_logical_ports", &constant_count<1>)
      .build();

  ClassBuilder port_10g = catalogue.define("Maverick10GPort", "MaverickPort");
  port_10g.attr("_speed_map", speed_map({{"1G", 1}, {"10G", 10}, {"40G/4", 40}}))
      .attr("gang_modes", texts({"40G/4"}))
      .attr("max_gang_size", py::int_(4))
      .attr("modes", family::joined(family::joined(texts({"10G"}), port_10g.get("gang_modes")),
                                    texts({"1G"})))
      .attr("default_mode", py::str("10G"));
  bind_constructor(port_10g, kLaneSpeedPortSignature, &maverick_10g_init)
      .method("num_logical_ports", &maverick_10g_logical_ports, {"self", "mode"})
      .method("num_physical_ports", &maverick_10g_physical_ports, {"self", "mode"})
      .property("max_logical_ports", &constant_count<1>)
      .method("polarity_flip_val", &single_lane_polarity,
              {"self", "mode", "sub", "polarity_flip"})
      .method("an_c37", &maverick_10g_an_c37, {"self", "mode"})
      .method("an_c73", &maverick_10g_an_c73, {"self", "mode"})
      .property("set_fiber_pref", &sfp_fiber_pref)
      .build();

  ClassBuilder fabric_10g =
      catalogue.define("Maverick10GFabricPort", "Maverick10GPort", kMaverick10GFabricDoc);
  fabric_10g.attr("is_fabric", py::bool_(true)).attr("create_fabric", py::bool_(true));
  bind_constructor(fabric_10g, k10GFabricSignature, &maverick_10g_fabric_init)
      .method("an_c37", &fabric_an_c37, {"self", "mode"})
      .method("an_c73", &fabric_an_c73, {"self", "mode"})
      .property("set_fiber_pref", &fabric_set_fiber_pref)
      .build();
}

}  // namespace asicmodel
