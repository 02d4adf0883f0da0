// Maverick speed port classes: the 100G and 40G QSFP ports with their
// breakouts, the gangable 10G port, and the fabric uses of the 40G and 10G
// ports.
#include "asicmodel/core/family_tables.hpp"
#include "asicmodel/core/lane_naming.hpp"
#include "asicmodel/core/lane_port_signatures.hpp"
#include "asicmodel/core/phy_settings.hpp"
#include "asicmodel/core/port_mode_rules.hpp"
#include "asicmodel/core/registrations.hpp"
#include "asicmodel/tomahawk_maverick/family_constructor.hpp"
#include "asicmodel/tomahawk_maverick/family_rules.hpp"
#include "asicmodel/tomahawk_maverick/mode_tables.hpp"
#include "common/bitmap.hpp"
#include "common/py_ops.hpp"

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

void init_with_cage(const char* cage, py::object self, py::dict arguments) {
  arguments["phy_layer"] = py::str(cage);
  init_base("MaverickPort", self, arguments);
}

void maverick_100g_init(py::object self, py::dict arguments) {
  init_with_cage("QSFP28", std::move(self), std::move(arguments));
}

void maverick_40g_init(py::object self, py::dict arguments) {
  init_with_cage("QSFP+", std::move(self), std::move(arguments));
}

void maverick_10g_init(py::object self, py::dict arguments) {
  init_base("MaverickPort", self, arguments);
}

void maverick_40g_fabric_init(py::object self, py::dict arguments) {
  init_base("Maverick40GPort", self, family::fabric_link_fields(arguments));
  set_own_serdes_type(self, 40, "KR4");
  self.attr("sdk_group") = arguments["sdk_group"];
}

void maverick_10g_fabric_init(py::object self, py::dict arguments) {
  py::dict fields = family::fabric_link_fields(arguments);
  fields["phy_layer"] = py::none();
  for (const char* name : {"pre_emphasis", "drv_current", "pre_drv_current"}) {
    fields[name] = arguments[name];
  }
  init_base("Maverick10GPort", self, fields);
  set_own_serdes_type(self, 10, "KR");
}

bool is_quad_split(py::handle mode) { return mode_is(mode, "4x10G") || mode_is(mode, "4x1G"); }

py::object maverick_40g_logical_ports(py::object self, py::object mode) {
  check_mode_of(self, mode);
  return py::int_(is_quad_split(mode) ? 4 : 1);
}

// Split in four, each sub-port has its own lane bit; whole, the port keeps
// the full mask.
py::object maverick_40g_polarity(py::object self, py::object mode, py::object sub,
                                 py::object polarity_flip_list) {
  check_mode_of(self, mode);
  if (!is_quad_split(mode)) return polarity_flip_list;
  return py::int_(common::py_truthy(polarity_flip_list & common::one_shifted(sub)) ? 1 : 0);
}

// Clause 37 auto-negotiation: on for a fiber or DAC 10G port, no opinion
// for copper PHYs or other modes.
py::object maverick_10g_an_c37(py::object self, py::object mode) {
  return ten_gig_autoneg(self, mode, "on");
}

// Clause 73: off where clause 37 is on.
py::object maverick_10g_an_c73(py::object self, py::object mode) {
  return ten_gig_autoneg(self, mode, "off");
}

py::object fabric_an_c37(py::object, py::object) { return py::str("off"); }

py::object fabric_an_c73(py::object, py::object) { return py::str("auto"); }

py::object fabric_set_fiber_pref(py::object) { return py::none(); }

}  // namespace

void define_maverick_speed_ports(Catalogue& catalogue) {
  const py::arg self("self"), mode("mode"), sub("sub");

  ClassBuilder port_100g = catalogue.define("Maverick100GPort", "MaverickPort");
  // The speed map's keys, in the order they iterate, are the modes.
  port_100g.attr("_speed_map", speed_map({{"40G", 40}, {"2x50G", 50}, {"100G", 100},
                                                  {"50G", 50}, {"2x20G", 20}, {"4x25G", 25},
                                                  {"4x10G", 10}, {"2x40G", 40}}))
      .attr("modes", family::keys_of(port_100g.get("_speed_map")))
      .attr("default_mode", py::str("100G"));
  bind_constructor(port_100g, kQsfpSpeedPortSignature, &maverick_100g_init)
      .method("num_logical_ports", &breakout_logical_ports, self, mode)
      .property("max_logical_ports", &constant_count<4>)
      .method("polarity_flip_val", &family::breakout_polarity, self, mode, sub,
              py::arg("polarity_flip_list"))
      .build();

  ClassBuilder port_40g = catalogue.define("Maverick40GPort", "MaverickPort");
  port_40g.attr("_speed_map", speed_map({{"4x1G", 1}, {"4x10G", 10}, {"40G", 40}}))
      .attr("modes", texts({"40G", "4x10G", "4x1G"}))
      .attr("default_mode", py::str("40G"));
  bind_constructor(port_40g, kQsfpSpeedPortSignature, &maverick_40g_init)
      .method("num_logical_ports", &maverick_40g_logical_ports, self, mode)
      .property("max_logical_ports", &constant_count<4>)
      .method("polarity_flip_val", &maverick_40g_polarity, self, mode, sub,
              py::arg("polarity_flip_list"))
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
      .method("num_logical_ports", &family::gang_logical_ports, self, mode)
      .method("num_physical_ports", &family::gang_physical_ports, self, mode)
      .property("max_logical_ports", &constant_count<1>)
      .method("polarity_flip_val", &single_lane_polarity, self, mode, sub,
              py::arg("polarity_flip"))
      .method("an_c37", &maverick_10g_an_c37, self, mode)
      .method("an_c73", &maverick_10g_an_c73, self, mode)
      .property("set_fiber_pref", &sfp_fiber_pref)
      .build();

  ClassBuilder fabric_10g =
      catalogue.define("Maverick10GFabricPort", "Maverick10GPort", kMaverick10GFabricDoc);
  fabric_10g.attr("is_fabric", py::bool_(true)).attr("create_fabric", py::bool_(true));
  bind_constructor(fabric_10g, k10GFabricSignature, &maverick_10g_fabric_init)
      .method("an_c37", &fabric_an_c37, self, mode)
      .method("an_c73", &fabric_an_c73, self, mode)
      .property("set_fiber_pref", &fabric_set_fiber_pref)
      .build();
}

}  // namespace asicmodel
