// Trident, Trident2 and Trident2+ speed port classes: the 10G ports that
// gang by four into "40G/4", the 40G ports that break out into four, and
// the Trident2 10G fabric port.
#include "asicmodel/core/family_tables.hpp"
#include "asicmodel/core/lane_naming.hpp"
#include "asicmodel/core/lane_port_signatures.hpp"
#include "asicmodel/core/names.hpp"
#include "asicmodel/core/port_mode_rules.hpp"
#include "asicmodel/core/registrations.hpp"
#include "asicmodel/trident/trident_constructors.hpp"
#include "asicmodel/trident/trident_rules.hpp"
#include "common/host_calls.hpp"
#include "common/host_values.hpp"

namespace asicmodel {

namespace {

using namespace trident;

// What each listed mode yields (logical and physical ports).
const ModeCounts kTenGigCounts{{"10G"}, {}, {"40G/4"}};
const ModeCounts kTridentTwoPlusTenGigCounts{{"1G", "10G"}, {}, {"40G/4"}};
const ModeCounts kFortyGigCounts{{"40G"}, {"4x10G"}, {}};
const ModeCounts kTridentTwoPlusFortyGigCounts{{"40G"}, {"4x10G", "4x1G"}, {}};

const char* const kFabricDoc = "Treat the microserver ports as fabric ports using KR.";

// A one-entry tuple holding `value`.
py::object one_entry(py::handle value) { return common::steal(PyTuple_Pack(1, value.ptr())); }

// Trident10GPort: one lane, one PHY; the family constructor takes lists.
py::object trident_10g_init(py::handle self, Fields& arguments) {
  SW_LET(serdes, one_entry(arguments.get(names.serdes)));
  SW_LET(phy_types, one_entry(arguments.get(names.phy_type)));
  SW_LET(phy_addrs, one_entry(arguments.get(names.phy_addr)));
  Fields base;
  base.set(names.label, arguments.get(names.label));
  base.set(names.serdes, serdes);
  base.set(names.phy_types, phy_types);
  base.set(names.phy_addrs, phy_addrs);
  base.set(names.phy_layer, arguments.get(names.phy_layer));
  base.set(names.prim_offset, Py_None);
  for (PyObject* field : {names.leds, names.unit, names.rx_polarity_flip,
                          names.tx_polarity_flip, names.rx_lane_map, names.tx_lane_map,
                          names.mdi_pair_map}) {
    base.set(field, arguments.get(field));
  }
  return init_base(names.TridentPort, self, base);
}

// The cage type of the classes that fix it.
py::handle qsfp_plus() {
  static const py::handle text = common::forever(py::str("QSFP+"));
  return text;
}

// Trident40GPort: a QSFP+ cage, every other argument unchanged.
py::object trident_40g_init(py::handle self, Fields& arguments) {
  arguments.set(names.phy_layer, qsfp_plus());
  return init_base(names.TridentPort, self, arguments);
}

py::object trident_two_speed_port_init(py::handle self, Fields& arguments) {
  return init_base(names.TridentTwoPort, self, arguments);
}

py::object trident_two_plus_10g_init(py::handle self, Fields& arguments) {
  return init_base(names.TridentTwoPlusPort, self, arguments);
}

// TridentTwoPlus40GPort: a QSFP+ cage, every other argument unchanged.
py::object trident_two_plus_40g_init(py::handle self, Fields& arguments) {
  arguments.set(names.phy_layer, qsfp_plus());
  return init_base(names.TridentTwoPlusPort, self, arguments);
}

// A microserver link: no PHY, no LEDs, unit 0, over-subscribed, and its
// serdes runs KR at 10G (the port's own serdes interface map, set once
// the base constructor has succeeded).
py::object trident_two_fabric_init(py::handle self, Fields& arguments) {
  static const py::handle zero = common::forever(py::int_(0));
  for (PyObject* field : {names.leds, names.phy_types, names.phy_addrs, names.phy_layer}) {
    arguments.set(field, Py_None);
  }
  arguments.set(names.oversub, Py_True);
  arguments.set(names.unit, zero);
  SW_CHECK(init_base(names.TridentTwo10GPort, self, arguments));
  return set_own_serdes_type(self, 10, "KR");
}

// Fabric links never auto-negotiate.
py::object fabric_autoneg_off(py::handle, py::handle) {
  static const py::handle off = common::forever(py::str("off"));
  return common::ref(off);
}

// Trident40GPort polarity from per-lane flags (True flips a lane): a
// breakout port answers its own lane; the whole port four bits per lane,
// lane 0 lowest, all four set for a flipped lane.
py::object per_lane_flag_polarity(py::handle self, py::handle mode, py::handle sub,
                                  py::handle polarity_flip_list) {
  static const ModeTexts breakout{"4x10G"}, whole{"40G"};
  static const py::handle zero = common::forever(py::int_(0)), one = common::forever(py::int_(1)),
                          four = common::forever(py::int_(4)),
                          fifteen = common::forever(py::int_(15));
  SW_CHECK(check_mode_of(self, mode));
  SW_LET(is_breakout, breakout.matches(mode));
  if (is_breakout) {
    SW_CHECK(require_lane_polarity(self, mode, polarity_flip_list, "per-lane list"));
    SW_LET(flag, common::item(polarity_flip_list, sub));
    return common::ref(flag.ptr() == Py_True ? one : zero);
  }
  SW_LET(is_whole, whole.matches(mode));
  if (!is_whole) return common::none();
  SW_CHECK(require_lane_polarity(self, mode, polarity_flip_list, "per-lane list"));
  static const py::handle host_reversed = common::forever(common::builtin("reversed"));
  SW_LET(lanes, common::call(host_reversed, polarity_flip_list));
  SW_LET(iterator, common::steal(PyObject_GetIter(lanes.ptr())));
  py::object value = common::ref(zero);
  while (PyObject* raw = PyIter_Next(iterator.ptr())) {
    py::object lane = common::steal(raw);
    SW_LET(shifted, common::steal(PyNumber_Lshift(value.ptr(), four.ptr())));
    py::handle bits = lane.ptr() == Py_True ? fifteen : zero;
    value = common::steal(PyNumber_Or(shifted.ptr(), bits.ptr()));
    SW_CHECK(value);
  }
  if (PyErr_Occurred()) return {};
  return value;
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
  return port_class.method("num_logical_ports", &num_logical_ports_by<kTenGigCounts>,
                           {"self", "mode"})
      .method("num_physical_ports", &num_physical_ports_by<kTenGigCounts>, {"self", "mode"})
      .method("polarity_flip_val", &single_lane_polarity,
              {"self", "mode", "sub", "polarity_flip"});
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
      .method("an_c37", &fabric_autoneg_off, {"self", "mode"})
      .method("an_c73", &fabric_autoneg_off, {"self", "mode"})
      .build();

  ClassBuilder plus_ten = catalogue.define("TridentTwoPlus10GPort", "TridentTwoPlusPort");
  plus_ten.attr("gang_modes", texts({"40G/4"}));
  plus_ten.attr("modes", texts({"10G"}) + plus_ten.get("gang_modes") + texts({"1G"}))
      .attr("default_mode", py::str("10G"))
      .attr("max_gang_size", py::int_(4))
      .attr("_speed_map", speed_map({{"1G", 1}, {"10G", 10}, {"40G/4", 40}}));
  bind_constructor(plus_ten, kLaneSpeedPortSignature, &trident_two_plus_10g_init)
      .method("num_logical_ports", &num_logical_ports_by<kTridentTwoPlusTenGigCounts>,
              {"self", "mode"})
      .property("max_logical_ports", &constant_count<1>)
      .method("num_physical_ports", &num_physical_ports_by<kTridentTwoPlusTenGigCounts>,
              {"self", "mode"})
      .method("polarity_flip_val", &single_lane_polarity,
              {"self", "mode", "sub", "polarity_flip"})
      .build();

  ClassBuilder trident_forty = catalogue.define("Trident40GPort", "TridentPort");
  forty_gig_tables(trident_forty);
  bind_constructor(trident_forty, kTrident40GParameters, &trident_40g_init)
      .method("num_logical_ports", &num_logical_ports_by<kFortyGigCounts>, {"self", "mode"})
      .method("polarity_flip_val", &per_lane_flag_polarity,
              {"self", "mode", "sub", "polarity_flip_list"})
      .build();

  ClassBuilder two_forty = catalogue.define("TridentTwo40GPort", "TridentTwoPort");
  forty_gig_tables(two_forty);
  bind_constructor(two_forty, kLaneSpeedPortSignature, &trident_two_speed_port_init)
      .method("num_logical_ports", &num_logical_ports_by<kFortyGigCounts>, {"self", "mode"})
      .method("polarity_flip_val", &lane_mask_polarity_flip_val<kFortyGigCounts>,
              {"self", "mode", "sub", "polarity_flip_list"})
      .build();

  ClassBuilder plus_forty = catalogue.define("TridentTwoPlus40GPort", "TridentTwoPlusPort");
  plus_forty.attr("modes", texts({"40G", "4x10G", "4x1G"}))
      .attr("default_mode", py::str("40G"))
      .attr("_speed_map", speed_map({{"4x1G", 1}, {"4x10G", 10}, {"40G", 40}}));
  bind_constructor(plus_forty, kQsfpSpeedPortSignature, &trident_two_plus_40g_init)
      .method("num_logical_ports", &num_logical_ports_by<kTridentTwoPlusFortyGigCounts>,
              {"self", "mode"})
      .property("max_logical_ports", &constant_count<4>)
      .method("polarity_flip_val", &lane_mask_polarity_flip_val<kTridentTwoPlusFortyGigCounts>,
              {"self", "mode", "sub", "polarity_flip_list"})
      .build();
}

}  // namespace asicmodel
