// Triumph, Apollo, Helix4 and Hurricane2 port classes: single-interface
// 1G, 10G and 13G ports that are never split or ganged. Triumph and Helix4
// number their interfaces by a fixed table; Apollo and Hurricane2 compute
// the numbers from the interface prefix and number.
#include <initializer_list>
#include <optional>
#include <string>

#include "asicmodel/core/family_tables.hpp"
#include "asicmodel/core/names.hpp"
#include "asicmodel/core/port_mode_rules.hpp"
#include "asicmodel/core/port_naming.hpp"
#include "asicmodel/core/registrations.hpp"
#include "asicmodel/tomahawk_maverick/family_constructor.hpp"
#include "asicmodel/tomahawk_maverick/family_rules.hpp"
#include "asicmodel/tomahawk_maverick/host_arithmetic.hpp"
#include "common/bitmap.hpp"
#include "common/host_calls.hpp"

namespace asicmodel {

namespace {

// The family bases take hardware interface names and the flips before the
// lane maps.
constexpr auto kNamedPortSignature = make_signature(
    {"label", "hw_ports", "phy_types", "phy_addrs", "phy_layer", "prim_offset", "leds"},
    {{"unit", Default::kZero},
     {"rx_polarity_flip"},
     {"tx_polarity_flip"},
     {"rx_lane_map"},
     {"tx_lane_map"},
     {"mdi_pair_map"}});

constexpr auto kApolloPortSignature = make_signature(
    {"label", "hw_ports", "phy_types", "phy_addrs", "phy_layer", "prim_offset", "leds", "unit"});

// The 1G classes: the cage is always "1GBaseT", whatever `phy_layer` says.
constexpr auto k1GPortSignature = make_signature(
    {"label", "hw_port", "phy_type", "phy_addr", "phy_layer", "leds", "unit"},
    {{"prim_offset"}});

constexpr auto kApollo1GPortSignature = make_signature(
    {"label", "hw_port", "phy_type", "phy_addr", "leds", "unit"}, {{"prim_offset"}});

// The 10G classes: receive lane map before receive flip.
constexpr auto k10GPortSignature = make_signature(
    {"label", "hw_port", "phy_type", "phy_addr", "phy_layer", "leds", "unit"},
    {{"rx_lane_map"},
     {"rx_polarity_flip"},
     {"tx_lane_map"},
     {"tx_polarity_flip"},
     {"mdi_pair_map"}});

constexpr auto kApollo10GPortSignature = make_signature(
    {"label", "hw_port", "phy_type", "phy_addr", "phy_layer", "leds", "unit"});

// `unit` third and everything after it optional.
constexpr auto k13GPortSignature = make_signature(
    {"label", "hw_port", "unit"},
    {{"phy_type"},
     {"phy_addr"},
     {"phy_layer"},
     {"leds"},
     {"rx_lane_map"},
     {"rx_polarity_flip"},
     {"tx_lane_map"},
     {"tx_polarity_flip"},
     {"mdi_pair_map"}});

constexpr auto k13GFabricPortSignature = make_signature({"label", "hw_port", "unit"});

// --- Constructors ---

py::object named_port_init(py::handle self, Fields& arguments) {
  return init_base(names.BCMPort, self, family::sdk_port_fields(arguments));
}

// The speed classes of a family base (`Base`, a class name in the name
// table) hand on their one interface as the base's one-element lists.
template <PyObject* Names::*Base>
py::object single_interface_init(py::handle self, Fields& arguments) {
  Fields fields;
  SW_CHECK(family::single_interface_fields(arguments, fields));
  return init_base(names.*Base, self, fields);
}

// The 1G classes: the cage is always "1GBaseT", whatever `phy_layer` says.
template <PyObject* Names::*Base>
py::object one_gigabit_init(py::handle self, Fields& arguments) {
  static const py::handle copper = common::forever(py::str("1GBaseT"));
  Fields fields;
  SW_CHECK(family::single_interface_fields(arguments, fields));
  fields.set(names.phy_layer, copper);
  return init_base(names.*Base, self, fields);
}

py::object hurricane2_13g_fabric_init(py::handle self, Fields& arguments) {
  return init_base(names.Hurricane213GPort, self, arguments);
}

// --- Numbering from the interface prefix and number ---

// A numbering rule for one interface prefix: the interface number times
// `factor`, plus `offset`, plus one more when the number is above
// `skip_above` (a position the chip leaves out).
struct PrefixRule {
  const char* prefix;
  long factor;
  long offset;
  std::optional<long> skip_above = std::nullopt;
};

// The number of a sub-port's interface by the first rule whose prefix
// matches, "bad interface prefix" when none does. The interface number and
// prefix are asked through the object, number first, so a bad number fails
// before the prefix is looked at and a subclass may refine either.
py::object number_by_prefix(py::handle self, py::handle mode, py::handle sub,
                            std::initializer_list<PrefixRule> rules) {
  SW_LET(number, common::call_method(self, names.hw_intf_num, mode, sub));
  SW_LET(prefix, common::call_method(self, names.hw_intf_prefix, mode, sub));
  for (const PrefixRule& rule : rules) {
    SW_LET(matches, mode_is(prefix, rule.prefix));
    if (!matches) continue;
    long offset = rule.offset;
    if (rule.skip_above) {
      SW_LET(past_gap, family::compare(number, Py_GT, *rule.skip_above));
      if (past_gap) offset += 1;
    }
    if (rule.factor == 1) return family::plus(number, offset);
    SW_LET(scaled, family::times(number, rule.factor));
    return family::plus(scaled, offset);
  }
  return common::fail(PyExc_RuntimeError, "bad interface prefix");
}

// Apollo: "ge" n takes n + 1 up to 35 and n + 2 above (37 is skipped);
// "hg" n takes n + 50.
py::object apollo_hw_port_num(py::handle self, py::handle mode, py::handle sub) {
  return number_by_prefix(self, mode, sub, {{"ge", 1, 1, 35}, {"hg", 1, 50}});
}

// Apollo LEDs: "ge" n on n + 1, "hg" n on n + 73.
py::object apollo_led_port_num(py::handle self, py::handle mode, py::handle sub) {
  return number_by_prefix(self, mode, sub, {{"ge", 1, 1}, {"hg", 1, 73}});
}

// Helix4 LEDs: "ge" n on n + 1, "hg" n on n + 49 (after the 49 "ge" ports).
py::object helix4_led_port_num(py::handle self, py::handle mode, py::handle sub) {
  return number_by_prefix(self, mode, sub, {{"ge", 1, 1}, {"hg", 1, 49}});
}

// Hurricane2: "ge" n on n + 2, "xe" n on n + 26, "hg" n on n + 28.
py::object hurricane2_hw_port_num(py::handle self, py::handle mode, py::handle sub) {
  return number_by_prefix(self, mode, sub, {{"ge", 1, 2}, {"xe", 1, 26}, {"hg", 1, 28}});
}

// Hurricane2 LEDs: "ge" n on n + 2, "xe" n on 2n + 26; "hg" has no LED.
py::object hurricane2_led_port_num(py::handle self, py::handle mode, py::handle sub) {
  return number_by_prefix(self, mode, sub, {{"ge", 1, 2}, {"xe", 2, 26}});
}

// The bitmap bit of the object's own hardware port number.
py::object computed_hw_pbmp(py::handle self, py::handle mode, py::handle sub) {
  SW_LET(position, common::call_method(self, names.hw_port_num, mode, sub));
  return common::bit_at(position);
}

// --- Speeds of the 1G classes ---

// The 1G classes answer their speed per object, for any mode.
py::object one_gigabit(py::handle, py::handle) { return common::integer(1); }

// A 1G port runs on one lane; the mode is checked as for every lane count.
py::object one_lane(py::handle cls, py::handle mode) {
  SW_CHECK(common::call_method(cls, names._check_mode, mode));
  return common::integer(1);
}

// --- Port-bitmap tables ---

void append_names(py::list& interface_names, const char* prefix, int first, int last) {
  for (int n = first; n <= last; ++n) interface_names.append(py::str(prefix + std::to_string(n)));
}

py::dict triumph_pbmp_map() {
  py::list interface_names;
  append_names(interface_names, "ge", 48, 48);
  append_names(interface_names, "ge", 8, 15);
  append_names(interface_names, "ge", 20, 27);
  append_names(interface_names, "ge", 32, 39);
  append_names(interface_names, "hg", 0, 3);
  append_names(interface_names, "ge", 0, 7);
  append_names(interface_names, "ge", 16, 19);
  append_names(interface_names, "ge", 28, 31);
  append_names(interface_names, "ge", 40, 47);
  return numbered_pbmp_map(interface_names);
}

py::dict helix4_pbmp_map() {
  py::list interface_names;
  append_names(interface_names, "ge", 0, 48);
  append_names(interface_names, "hg", 0, 5);
  return numbered_pbmp_map(interface_names);
}

}  // namespace

void define_earlier_family_ports(Catalogue& catalogue) {
  using family::constant_count_of_mode;

  ClassBuilder triumph = catalogue.define("TriumphPort", "BCMPort");
  triumph.attr("pbmp_map", triumph_pbmp_map());
  bind_constructor(triumph, kNamedPortSignature, &named_port_init).build();

  ClassBuilder apollo = catalogue.define("ApolloPort", "BCMPort");
  apollo.method("hw_port_num", &apollo_hw_port_num, {"self", "mode", "sub"})
      .method("hw_pbmp", &computed_hw_pbmp, {"self", "mode", "sub"})
      .method("led_port_num", &apollo_led_port_num, {"self", "mode", "sub"});
  bind_constructor(apollo, kApolloPortSignature, &named_port_init).build();

  ClassBuilder helix4 = catalogue.define("Helix4Port", "BCMPort");
  helix4.attr("pbmp_map", helix4_pbmp_map())
      .method("led_port_num", &helix4_led_port_num, {"self", "mode", "sub"});
  bind_constructor(helix4, kNamedPortSignature, &named_port_init).build();

  ClassBuilder hurricane2 = catalogue.define("Hurricane2Port", "BCMPort");
  hurricane2.method("hw_port_num", &hurricane2_hw_port_num, {"self", "mode", "sub"})
      .method("led_port_num", &hurricane2_led_port_num, {"self", "mode", "sub"})
      .method("hw_pbmp", &computed_hw_pbmp, {"self", "mode", "sub"});
  bind_constructor(hurricane2, kNamedPortSignature, &named_port_init).build();

  // The 1G classes: speed answered per object, one lane, one logical port.
  struct OneGigabitClass {
    const char* name;
    const char* base;
    ConstructorBody init;
    bool takes_phy_layer;
  };
  const OneGigabitClass one_gigabit_classes[] = {
      {"Apollo1GPort", "ApolloPort", &one_gigabit_init<&Names::ApolloPort>, false},
      {"Triumph1GPort", "TriumphPort", &one_gigabit_init<&Names::TriumphPort>, true},
      {"Helix41GPort", "Helix4Port", &one_gigabit_init<&Names::Helix4Port>, true},
      {"Hurricane21GPort", "Hurricane2Port", &one_gigabit_init<&Names::Hurricane2Port>, true},
  };
  for (const OneGigabitClass& entry : one_gigabit_classes) {
    ClassBuilder port = catalogue.define(entry.name, entry.base);
    port.attr("modes", texts({"1G"})).attr("default_mode", py::str("1G"));
    if (entry.takes_phy_layer) {
      bind_constructor(port, k1GPortSignature, entry.init);
    } else {
      bind_constructor(port, kApollo1GPortSignature, entry.init);
    }
    port.method("speed", &one_gigabit, {"self", "mode"})
        .classmethod("num_lanes", &one_lane, {"cls", "mode"})
        .method("num_logical_ports", &constant_count_of_mode<1>, {"self", "mode"})
        .property("max_logical_ports", &constant_count<1>)
        .build();
  }

  ClassBuilder apollo_10g = catalogue.define("Apollo10GPort", "ApolloPort");
  apollo_10g.attr("modes", texts({"10G"}))
      .attr("default_mode", py::str("10G"))
      .attr("_speed_map", speed_map({{"10G", 10}}));
  bind_constructor(apollo_10g, kApollo10GPortSignature,
                   &single_interface_init<&Names::ApolloPort>)
      .method("num_logical_ports", &constant_count_of_mode<1>, {"self", "mode"})
      .property("max_logical_ports", &constant_count<1>)
      .build();

  // The 10G classes with a polarity flip: one flag per port.
  struct TenGigabitClass {
    const char* name;
    const char* base;
    ConstructorBody init;
    bool keeps_hg_prefix;
  };
  const TenGigabitClass ten_gigabit_classes[] = {
      {"Triumph10GPort", "TriumphPort", &single_interface_init<&Names::TriumphPort>, false},
      {"Helix410GPort", "Helix4Port", &single_interface_init<&Names::Helix4Port>, false},
      {"Hurricane210GPort", "Hurricane2Port", &single_interface_init<&Names::Hurricane2Port>,
       true},
  };
  for (const TenGigabitClass& entry : ten_gigabit_classes) {
    ClassBuilder port = catalogue.define(entry.name, entry.base);
    port.attr("modes", texts({"10G"}))
        .attr("default_mode", py::str("10G"))
        .attr("_speed_map", speed_map({{"10G", 10}}));
    if (entry.keeps_hg_prefix) port.attr("disable_prefix_xlate", py::bool_(true));
    bind_constructor(port, k10GPortSignature, entry.init)
        .method("num_logical_ports", &constant_count_of_mode<1>, {"self", "mode"})
        .property("max_logical_ports", &constant_count<1>)
        .method("polarity_flip_val", &single_lane_polarity,
                {"self", "mode", "sub", "polarity_flip"})
        .build();
  }

  ClassBuilder hurricane2_13g = catalogue.define("Hurricane213GPort", "Hurricane2Port");
  hurricane2_13g.attr("modes", texts({"13G"}))
      .attr("default_mode", py::str("13G"))
      .attr("_speed_map", speed_map({{"13G", 13}}))
      .attr("disable_prefix_xlate", py::bool_(true));
  bind_constructor(hurricane2_13g, k13GPortSignature,
                   &single_interface_init<&Names::Hurricane2Port>)
      .method("num_logical_ports", &constant_count_of_mode<1>, {"self", "mode"})
      .property("max_logical_ports", &constant_count<1>)
      .build();

  ClassBuilder hurricane2_fabric = catalogue.define("Hurricane213GFabricPort", "Hurricane213GPort");
  hurricane2_fabric.attr("is_fabric", py::bool_(true));
  bind_constructor(hurricane2_fabric, k13GFabricPortSignature, &hurricane2_13g_fabric_init)
      .build();
}

}  // namespace asicmodel
