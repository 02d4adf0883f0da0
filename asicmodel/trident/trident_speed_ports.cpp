// Trident, Trident2 and Trident2+ speed port classes: the 10G ports that
// gang by four into "40G/4", the 40G ports that break out into four, and
// the Trident2 10G fabric port.
#include "asicmodel/core/family_tables.hpp"
#include "asicmodel/core/lane_naming.hpp"
#include "asicmodel/core/lane_port_signatures.hpp"
#include "asicmodel/core/port_mode_rules.hpp"
#include "asicmodel/core/registrations.hpp"
#include "asicmodel/trident/trident_constructors.hpp"
#include "asicmodel/trident/trident_rules.hpp"

namespace asicmodel {

namespace {

using namespace trident;

// What each listed mode yields (logical and physical ports).
const ModeCounts kTenGigCounts{{"10G"}, {}, {"40G/4"}};
const ModeCounts kTridentTwoPlusTenGigCounts{{"1G", "10G"}, {}, {"40G/4"}};
const ModeCounts kFortyGigCounts{{"40G"}, {"4x10G"}, {}};
const ModeCounts kTridentTwoPlusFortyGigCounts{{"40G"}, {"4x10G", "4x1G"}, {}};

const char* const kFabricDoc = "Treat the microserver ports as fabric ports using KR.";

// Trident10GPort: one lane, one PHY; the family constructor takes lists.
void trident_10g_init(py::object self, py::dict arguments) {
  py::dict base;
  base["label"] = arguments["label"];
  base["serdes"] = py::make_tuple(arguments["serdes"]);
  base["phy_types"] = py::make_tuple(arguments["phy_type"]);
  base["phy_addrs"] = py::make_tuple(arguments["phy_addr"]);
  base["phy_layer"] = arguments["phy_layer"];
  base["prim_offset"] = py::none();
  for (const char* field : {"leds", "unit", "rx_polarity_flip", "tx_polarity_flip",
                            "rx_lane_map", "tx_lane_map", "mdi_pair_map"}) {
    base[field] = arguments[field];
  }
  init_base("TridentPort", self, base);
}

// Trident40GPort: a QSFP+ cage, every other argument unchanged.
void trident_40g_init(py::object self, py::dict arguments) {
  arguments["phy_layer"] = py::str("QSFP+");
  init_base("TridentPort", self, arguments);
}

void trident_two_speed_port_init(py::object self, py::dict arguments) {
  init_base("TridentTwoPort", self, arguments);
}

void trident_two_plus_10g_init(py::object self, py::dict arguments) {
  init_base("TridentTwoPlusPort", self, arguments);
}

// TridentTwoPlus40GPort: a QSFP+ cage, every other argument unchanged.
void trident_two_plus_40g_init(py::object self, py::dict arguments) {
  arguments["phy_layer"] = py::str("QSFP+");
  init_base("TridentTwoPlusPort", self, arguments);
}

// A microserver link: no PHY, no LEDs, unit 0, over-subscribed, and its
// serdes runs KR at 10G (the port's own serdes interface map).
void trident_two_fabric_init(py::object self, py::dict arguments) {
  arguments["leds"] = py::none();
  arguments["phy_types"] = py::none();
  arguments["phy_addrs"] = py::none();
  arguments["phy_layer"] = py::none();
  arguments["oversub"] = py::bool_(true);
  arguments["unit"] = py::int_(0);
  init_base("TridentTwo10GPort", self, arguments);
  set_own_serdes_type(self, 10, "KR");
}

// Fabric links never auto-negotiate.
py::object fabric_autoneg_off(py::object, py::object) { return py::str("off"); }

// Trident40GPort polarity from per-lane flags (True flips a lane): a
// breakout port answers its own lane; the whole port four bits per lane,
// lane 0 lowest, all four set for a flipped lane.
py::object per_lane_flag_polarity(py::object self, py::object mode, py::object sub,
                                  py::object polarity_flip_list) {
  check_mode_of(self, mode);
  if (mode_is(mode, "4x10G")) {
    require_lane_polarity(self, mode, polarity_flip_list, "per-lane list");
    return py::int_(polarity_flip_list[sub].ptr() == Py_True ? 1 : 0);
  }
  if (mode_is(mode, "40G")) {
    require_lane_polarity(self, mode, polarity_flip_list, "per-lane list");
    py::object value = py::int_(0);
    py::object reversed = py::module_::import("builtins").attr("reversed");
    for (py::handle lane : reversed(polarity_flip_list)) {
      value = (value << py::int_(4)) | py::int_(lane.ptr() == Py_True ? 15 : 0);
    }
    return value;
  }
  return py::none();
}

// The 10G class body both Trident generations share: "10G" alone or in a
// gang of four.
ClassBuilder& ten_gig_tables(ClassBuilder& port_class) {
  port_class.attr("gang_modes", texts({"40G/4"}));
  return port_class.attr("modes", texts({"10G"}) + port_class.get("gang_modes"))
      .attr("default_mode", py::str("10G"))
      .attr("max_gang_size", py::int_(4))
      .attr("_speed_map", speed_map({{"10G", 10}, {"40G/4", 40}}))
      .property("max_logical_ports", &constant_count<1>);
}

// The 10G operations both Trident generations share.
ClassBuilder& ten_gig_operations(ClassBuilder& port_class) {
  const py::arg self("self"), mode("mode");
  return port_class.method("num_logical_ports", &num_logical_ports_by<kTenGigCounts>, self, mode)
      .method("num_physical_ports", &num_physical_ports_by<kTenGigCounts>, self, mode)
      .method("polarity_flip_val", &single_lane_polarity, self, mode, py::arg("sub"),
              py::arg("polarity_flip"));
}

// The 40G class body both Trident generations share.
ClassBuilder& forty_gig_tables(ClassBuilder& port_class) {
  return port_class.attr("modes", texts({"40G", "4x10G"}))
      .attr("default_mode", py::str("40G"))
      .attr("_speed_map", speed_map({{"4x10G", 10}, {"40G", 40}}))
      .property("max_logical_ports", &constant_count<4>);
}

}  // namespace

void define_trident_speed_ports(Catalogue& catalogue) {
  const py::arg self("self"), mode("mode"), sub("sub");
  const py::arg polarity_flip("polarity_flip"), polarity_flip_list("polarity_flip_list");

  ClassBuilder trident_ten = catalogue.define("Trident10GPort", "TridentPort");
  ten_gig_tables(trident_ten);
  bind_constructor(trident_ten, kTrident10GParameters, &trident_10g_init);
  ten_gig_operations(trident_ten).build();

  ClassBuilder two_ten = catalogue.define("TridentTwo10GPort", "TridentTwoPort");
  ten_gig_tables(two_ten);
  bind_constructor(two_ten, kLaneSpeedPortSignature, &trident_two_speed_port_init);
  ten_gig_operations(two_ten).build();

  ClassBuilder fabric = catalogue.define("TridentTwo10GFabricPort", "TridentTwo10GPort", kFabricDoc);
  fabric.attr("is_fabric", py::bool_(true)).attr("create_fabric", py::bool_(true));
  bind_constructor(fabric, kFabricParameters, &trident_two_fabric_init)
      .method("an_c37", &fabric_autoneg_off, self, mode)
      .method("an_c73", &fabric_autoneg_off, self, mode)
      .build();

  ClassBuilder plus_ten = catalogue.define("TridentTwoPlus10GPort", "TridentTwoPlusPort");
  plus_ten.attr("gang_modes", texts({"40G/4"}));
  plus_ten.attr("modes", texts({"10G"}) + plus_ten.get("gang_modes") + texts({"1G"}))
      .attr("default_mode", py::str("10G"))
      .attr("max_gang_size", py::int_(4))
      .attr("_speed_map", speed_map({{"1G", 1}, {"10G", 10}, {"40G/4", 40}}));
  bind_constructor(plus_ten, kLaneSpeedPortSignature, &trident_two_plus_10g_init)
      .method("num_logical_ports", &num_logical_ports_by<kTridentTwoPlusTenGigCounts>, self, mode)
      .property("max_logical_ports", &constant_count<1>)
      .method("num_physical_ports", &num_physical_ports_by<kTridentTwoPlusTenGigCounts>, self,
              mode)
      .method("polarity_flip_val", &single_lane_polarity, self, mode, sub, polarity_flip)
      .build();

  ClassBuilder trident_forty = catalogue.define("Trident40GPort", "TridentPort");
  forty_gig_tables(trident_forty);
  bind_constructor(trident_forty, kTrident40GParameters, &trident_40g_init)
      .method("num_logical_ports", &num_logical_ports_by<kFortyGigCounts>, self, mode)
      .method("polarity_flip_val", &per_lane_flag_polarity, self, mode, sub, polarity_flip_list)
      .build();

  ClassBuilder two_forty = catalogue.define("TridentTwo40GPort", "TridentTwoPort");
  forty_gig_tables(two_forty);
  bind_constructor(two_forty, kLaneSpeedPortSignature, &trident_two_speed_port_init)
      .method("num_logical_ports", &num_logical_ports_by<kFortyGigCounts>, self, mode)
      .method("polarity_flip_val", &lane_mask_polarity_flip_val<kFortyGigCounts>, self, mode, sub,
              polarity_flip_list)
      .build();

  ClassBuilder plus_forty = catalogue.define("TridentTwoPlus40GPort", "TridentTwoPlusPort");
  plus_forty.attr("modes", texts({"40G", "4x10G", "4x1G"}))
      .attr("default_mode", py::str("40G"))
      .attr("_speed_map", speed_map({{"4x1G", 1}, {"4x10G", 10}, {"40G", 40}}));
  bind_constructor(plus_forty, kQsfpSpeedPortSignature, &trident_two_plus_40g_init)
      .method("num_logical_ports", &num_logical_ports_by<kTridentTwoPlusFortyGigCounts>, self,
              mode)
      .property("max_logical_ports", &constant_count<4>)
      .method("polarity_flip_val", &lane_mask_polarity_flip_val<kTridentTwoPlusFortyGigCounts>,
              self, mode, sub, polarity_flip_list)
      .build();
}

}  // namespace asicmodel
