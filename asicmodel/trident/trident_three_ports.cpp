// Trident3 speed port classes: the four-lane 100G port with its two- and
// four-way breakouts, the 25G port that gangs by four, and the 10G and
// multi-gigabit ports.
#include "asicmodel/core/family_tables.hpp"
#include "asicmodel/core/lane_port_signatures.hpp"
#include "asicmodel/core/names.hpp"
#include "asicmodel/core/phy_settings.hpp"
#include "asicmodel/core/port_mode_rules.hpp"
#include "asicmodel/core/registrations.hpp"
#include "asicmodel/trident/trident_constructors.hpp"
#include "asicmodel/trident/trident_rules.hpp"
#include "common/host_calls.hpp"

namespace asicmodel {

namespace {

using namespace trident;

const ModeCounts kTwentyFiveGigCounts{{"25G", "10G"}, {}, {"100G/4", "40G/4"}};
const ModeCounts kTenGigCounts{{"10G", "1G"}, {}, {"40G/4"}};
const ModeCounts kMultiGigCounts{{"1G", "2.5G", "5G", "10G"}, {}, {}, OtherModes::kZero};

// TridentThree100GPort: the speed map as written, and its modes in the
// class's own fixed order (not the map's).
py::dict hundred_gig_speed_map() {
  return speed_map({{"100G", 100}, {"40G", 40}, {"50G", 50}, {"2x50G", 50}, {"2x40G", 40},
                    {"2x20G", 20}, {"4x25G", 25}, {"4x10G", 10}});
}

// The speed map's own keys as a list, in the class's fixed mode order.
// Start-up only.
py::list hundred_gig_modes(const py::dict& speeds) {
  py::list modes;
  for (const char* mode : {"40G", "2x50G", "100G", "50G", "2x20G", "4x25G", "4x10G", "2x40G"}) {
    for (auto entry : speeds) {
      int same = mode_is(entry.first, mode);
      if (same < 0) throw py::error_already_set();
      if (same) modes.append(entry.first);
    }
  }
  return modes;
}

py::object hundred_gig_init(py::handle self, Fields& arguments) {
  static const py::handle hundred = common::forever(py::str("100G"));
  SW_CHECK(common::set(self, names.default_mode, hundred));
  return init_base(names.TridentThreePort, self, arguments);
}

// The port's default mode is the first mode its class lists, as read
// through the object, set before the family constructor runs.
py::object first_mode_default_init(py::handle self, Fields& arguments) {
  SW_LET(modes, common::get(self, names.modes));
  SW_LET(first, common::item_at(modes, 0));
  SW_CHECK(common::set(self, names.default_mode, first));
  return init_base(names.TridentThreePort, self, arguments);
}

py::object multi_gig_init(py::handle self, Fields& arguments) {
  return init_base(names.TridentThreePort, self, arguments);
}

// Lane mask polarity by the number of logical ports: a four-way breakout
// answers its lane's bit, a two-way breakout the two bits of its lane
// pair, the whole port the mask unchanged.
py::object hundred_gig_polarity(py::handle self, py::handle mode, py::handle sub,
                                py::handle polarity_flip_list) {
  static const py::handle two = common::forever(py::int_(2)), three = common::forever(py::int_(3)),
                          four = common::forever(py::int_(4));
  SW_CHECK(check_mode_of(self, mode));
  SW_LET(logical_ports, common::call_method(self, names.num_logical_ports, mode));
  SW_LET(four_way, common::equal(logical_ports, four));
  if (four_way) {
    SW_CHECK(require_lane_polarity(self, mode, polarity_flip_list, "lane mask"));
    return lane_bit(polarity_flip_list, sub);
  }
  SW_LET(two_way, common::equal(logical_ports, two));
  if (two_way) {
    SW_CHECK(require_lane_polarity(self, mode, polarity_flip_list, "lane mask"));
    SW_LET(shift, common::steal(PyNumber_Multiply(two.ptr(), sub.ptr())));
    SW_LET(shifted, common::steal(PyNumber_Rshift(polarity_flip_list.ptr(), shift.ptr())));
    return common::steal(PyNumber_And(shifted.ptr(), three.ptr()));
  }
  return common::ref(polarity_flip_list);
}

// 10G and multi-gigabit auto-negotiation: none on copper; `answer` when the
// mode text occurs within "10G" (a substring test, as the rule is kept).
py::object single_lane_autoneg(py::handle self, py::handle mode, py::handle answer) {
  static const py::handle ten_gig = common::forever(py::str("10G"));
  SW_LET(copper, on_copper(self));
  if (copper) return common::none();
  SW_LET(within, common::contains(ten_gig, mode));
  return within ? common::ref(answer) : common::none();
}

py::object single_lane_an_c37(py::handle self, py::handle mode) {
  static const py::handle on = common::forever(py::str("on"));
  return single_lane_autoneg(self, mode, on);
}

py::object single_lane_an_c73(py::handle self, py::handle mode) {
  static const py::handle off = common::forever(py::str("off"));
  return single_lane_autoneg(self, mode, off);
}

// 10G and multi-gigabit logical ports: interface number + 1, with no gap.
py::object single_lane_logical_port_num(py::handle self, py::handle mode, py::handle sub,
                                        py::handle) {
  static const py::handle one = common::forever(py::int_(1));
  SW_LET(interface, common::call_method(self, names.hw_intf_num, mode, sub));
  return common::steal(PyNumber_Add(interface.ptr(), one.ptr()));
}

// The multi-gigabit port has one lane in every mode it lists: the speed
// rule knows no lane count for 2.5G or 5G.
py::object one_lane(py::handle cls, py::handle mode) {
  SW_CHECK(check_mode_of(cls, mode));
  return common::integer(1);
}

// The operations the 10G and multi-gigabit classes share.
template <const ModeCounts& Counts>
ClassBuilder& single_lane_operations(ClassBuilder& port_class) {
  return port_class.method("num_logical_ports", &num_logical_ports_by<Counts>, {"self", "mode"})
      .method("num_physical_ports", &num_physical_ports_by<Counts>, {"self", "mode"})
      .method("polarity_flip_val", &single_lane_polarity,
              {"self", "mode", "sub", "polarity_flip"})
      .method("an_c37", &single_lane_an_c37, {"self", "mode"})
      .method("an_c73", &single_lane_an_c73, {"self", "mode"})
      .method("logical_port_num", &single_lane_logical_port_num,
              {"self", "mode", "sub", "port_base"});
}

}  // namespace

void define_trident_three_speed_ports(Catalogue& catalogue) {
  ClassBuilder hundred = catalogue.define("TridentThree100GPort", "TridentThreePort");
  hundred.attr("_speed_map", hundred_gig_speed_map());
  hundred.attr("modes", hundred_gig_modes(hundred.get("_speed_map")))
      .attr("default_mode", py::str("100G"))
      .property("max_logical_ports", &constant_count<4>);
  bind_constructor(hundred, kLaneSpeedPortSignature, &hundred_gig_init)
      .method("num_logical_ports", &breakout_logical_ports, {"self", "mode"})
      .method("polarity_flip_val", &hundred_gig_polarity,
              {"self", "mode", "sub", "polarity_flip_list"})
      .build();

  ClassBuilder twenty_five = catalogue.define("TridentThree25GPort", "TridentThreePort");
  twenty_five.attr("_speed_map", speed_map({{"10G", 10}, {"25G", 25}, {"40G/4", 40}, {"100G/4", 100}}))
      .attr("gang_modes", texts({"100G/4", "40G/4"}));
  twenty_five.attr("modes", texts({"25G", "10G"}) + twenty_five.get("gang_modes"))
      .attr("default_mode", py::str("25G"))
      .attr("max_gang_size", py::int_(4))
      .property("max_logical_ports", &constant_count<1>);
  bind_constructor(twenty_five, kLaneSpeedPortSignature, &first_mode_default_init)
      .method("num_logical_ports", &num_logical_ports_by<kTwentyFiveGigCounts>, {"self", "mode"})
      .method("num_physical_ports", &num_physical_ports_by<kTwentyFiveGigCounts>,
              {"self", "mode"})
      .method("polarity_flip_val", &single_lane_polarity,
              {"self", "mode", "sub", "polarity_flip"})
      .build();

  ClassBuilder ten = catalogue.define("TridentThree10GPort", "TridentThreePort");
  ten.attr("modes", texts({"10G", "1G"}))
      .attr("default_mode", py::str("10G"))
      .attr("_speed_map", speed_map({{"1G", 1}, {"10G", 10}}))
      .property("max_logical_ports", &constant_count<1>)
      .property("set_fiber_pref", &sfp_fiber_pref);
  bind_constructor(ten, kLaneSpeedPortSignature, &first_mode_default_init);
  single_lane_operations<kTenGigCounts>(ten).build();

  ClassBuilder multi = catalogue.define("TridentThreeMGPort", "TridentThreePort");
  multi.attr("modes", texts({"10G", "5G", "2.5G", "1G"}))
      .attr("default_mode", py::str("10G"))
      .attr("_speed_map", speed_map({{"1G", 1}, {"2.5G", 2.5}, {"5G", 5}, {"10G", 10}}))
      .property("max_logical_ports", &constant_count<1>)
      .property("set_fiber_pref", &sfp_fiber_pref);
  bind_constructor(multi, kLaneSpeedPortSignature, &multi_gig_init);
  single_lane_operations<kMultiGigCounts>(multi)
      .classmethod("num_lanes", &one_lane, {"cls", "mode"})
      .build();
}

}  // namespace asicmodel
