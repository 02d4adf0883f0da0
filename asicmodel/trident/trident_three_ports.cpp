// Trident3 speed port classes: the four-lane 100G port with its two- and
// four-way breakouts, the 25G port that gangs by four, and the 10G and
// multi-gigabit ports.
#include "asicmodel/core/family_tables.hpp"
#include "asicmodel/core/lane_port_signatures.hpp"
#include "asicmodel/core/phy_settings.hpp"
#include "asicmodel/core/port_mode_rules.hpp"
#include "asicmodel/core/registrations.hpp"
#include "asicmodel/trident/trident_constructors.hpp"
#include "asicmodel/trident/trident_rules.hpp"
#include "common/bitmap.hpp"
#include "common/py_ops.hpp"

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
py::list hundred_gig_modes(const py::dict& speeds) {
  py::list modes;
  for (const char* mode : {"40G", "2x50G", "100G", "50G", "2x20G", "4x25G", "4x10G", "2x40G"}) {
    for (auto entry : speeds) {
      if (mode_is(py::reinterpret_borrow<py::object>(entry.first), mode)) modes.append(entry.first);
    }
  }
  return modes;
}

void hundred_gig_init(py::object self, py::dict arguments) {
  self.attr("default_mode") = py::str("100G");
  init_base("TridentThreePort", self, arguments);
}

// The port's default mode is the first mode its class lists, as read
// through the object, set before the family constructor runs.
void first_mode_default_init(py::object self, py::dict arguments) {
  self.attr("default_mode") = self.attr("modes")[py::int_(0)];
  init_base("TridentThreePort", self, arguments);
}

void multi_gig_init(py::object self, py::dict arguments) {
  init_base("TridentThreePort", self, arguments);
}

// Lane mask polarity by the number of logical ports: a four-way breakout
// answers its lane's bit, a two-way breakout the two bits of its lane
// pair, the whole port the mask unchanged.
py::object hundred_gig_polarity(py::object self, py::object mode, py::object sub,
                                py::object polarity_flip_list) {
  check_mode_of(self, mode);
  py::object logical_ports = self.attr("num_logical_ports")(mode);
  if (common::py_equal(logical_ports, py::int_(4))) {
    require_lane_polarity(self, mode, polarity_flip_list, "lane mask");
    py::object lane_bit = polarity_flip_list & common::one_shifted(sub);
    return py::int_(common::py_truthy(lane_bit) ? 1 : 0);
  }
  if (common::py_equal(logical_ports, py::int_(2))) {
    require_lane_polarity(self, mode, polarity_flip_list, "lane mask");
    return (polarity_flip_list >> (py::int_(2) * sub)) & py::int_(3);
  }
  return polarity_flip_list;
}

// 10G and multi-gigabit auto-negotiation: none on copper; `answer` when the
// mode text occurs within "10G" (a substring test, as the rule is kept).
py::object single_lane_autoneg(const py::object& self, const py::object& mode,
                               const char* answer) {
  if (on_copper(self)) return py::none();
  if (common::py_contains(py::str("10G"), mode)) return py::str(answer);
  return py::none();
}

py::object single_lane_an_c37(py::object self, py::object mode) {
  return single_lane_autoneg(self, mode, "on");
}

py::object single_lane_an_c73(py::object self, py::object mode) {
  return single_lane_autoneg(self, mode, "off");
}

// 10G and multi-gigabit logical ports: interface number + 1, with no gap.
py::object single_lane_logical_port_num(py::object self, py::object mode, py::object sub,
                                        py::object) {
  return self.attr("hw_intf_num")(mode, sub) + py::int_(1);
}

// The operations the 10G and multi-gigabit classes share.
template <const ModeCounts& Counts>
ClassBuilder& single_lane_operations(ClassBuilder& port_class) {
  const py::arg self("self"), mode("mode"), sub("sub");
  return port_class.method("num_logical_ports", &num_logical_ports_by<Counts>, self, mode)
      .method("num_physical_ports", &num_physical_ports_by<Counts>, self, mode)
      .method("polarity_flip_val", &single_lane_polarity, self, mode, sub,
              py::arg("polarity_flip"))
      .method("an_c37", &single_lane_an_c37, self, mode)
      .method("an_c73", &single_lane_an_c73, self, mode)
      .method("logical_port_num", &single_lane_logical_port_num, self, mode, sub,
              py::arg("port_base"));
}

}  // namespace

void define_trident_three_speed_ports(Catalogue& catalogue) {
  const py::arg self("self"), mode("mode"), sub("sub");

  ClassBuilder hundred = catalogue.define("TridentThree100GPort", "TridentThreePort");
  hundred.attr("_speed_map", hundred_gig_speed_map());
  hundred.attr("modes", hundred_gig_modes(hundred.get("_speed_map")))
      .attr("default_mode", py::str("100G"))
      .property("max_logical_ports", &constant_count<4>);
  bind_constructor(hundred, kLaneSpeedPortSignature, &hundred_gig_init)
      .method("num_logical_ports", &breakout_logical_ports, self, mode)
      .method("polarity_flip_val", &hundred_gig_polarity, self, mode, sub,
              py::arg("polarity_flip_list"))
      .build();

  ClassBuilder twenty_five = catalogue.define("TridentThree25GPort", "TridentThreePort");
  twenty_five.attr("_speed_map", speed_map({{"10G", 10}, {"25G", 25}, {"40G/4", 40}, {"100G/4", 100}}))
      .attr("gang_modes", texts({"100G/4", "40G/4"}));
  twenty_five.attr("modes", texts({"25G", "10G"}) + twenty_five.get("gang_modes"))
      .attr("default_mode", py::str("25G"))
      .attr("max_gang_size", py::int_(4))
      .property("max_logical_ports", &constant_count<1>);
  bind_constructor(twenty_five, kLaneSpeedPortSignature, &first_mode_default_init)
      .method("num_logical_ports", &num_logical_ports_by<kTwentyFiveGigCounts>, self, mode)
      .method("num_physical_ports", &num_physical_ports_by<kTwentyFiveGigCounts>, self, mode)
      .method("polarity_flip_val", &single_lane_polarity, self, mode, sub,
              py::arg("polarity_flip"))
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
  single_lane_operations<kMultiGigCounts>(multi).build();
}

}  // namespace asicmodel
