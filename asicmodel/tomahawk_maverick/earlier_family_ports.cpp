// Triumph, Apollo, Helix4 and Hurricane2 port classes: single-interface
// 1G, 10G and 13G ports that are never split or ganged. Triumph and Helix4
// number their interfaces by a fixed table; Apollo and Hurricane2 compute
// the numbers from the interface prefix and number.
#include <string>

#include "asicmodel/core/family_tables.hpp"
#include "asicmodel/core/port_mode_rules.hpp"
#include "asicmodel/core/port_naming.hpp"
#include "asicmodel/core/registrations.hpp"
#include "asicmodel/tomahawk_maverick/family_constructor.hpp"
#include "asicmodel/tomahawk_maverick/family_rules.hpp"
#include "common/bitmap.hpp"
#include "common/host_errors.hpp"

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

void named_port_init(py::object self, py::dict arguments) {
  init_base("BCMPort", self, family::sdk_port_fields(arguments));
}

void init_single_interface(const char* base_class, py::object self, const py::dict& arguments) {
  init_base(base_class, self, family::single_interface_fields(arguments));
}

void init_1g(const char* base_class, py::object self, const py::dict& arguments) {
  py::dict fields = family::single_interface_fields(arguments);
  fields["phy_layer"] = py::str("1GBaseT");
  init_base(base_class, self, fields);
}

void triumph_1g_init(py::object self, py::dict arguments) { init_1g("TriumphPort", self, arguments); }
void apollo_1g_init(py::object self, py::dict arguments) { init_1g("ApolloPort", self, arguments); }
void helix4_1g_init(py::object self, py::dict arguments) { init_1g("Helix4Port", self, arguments); }
void hurricane2_1g_init(py::object self, py::dict arguments) {
  init_1g("Hurricane2Port", self, arguments);
}

void triumph_10g_init(py::object self, py::dict arguments) {
  init_single_interface("TriumphPort", self, arguments);
}
void apollo_10g_init(py::object self, py::dict arguments) {
  init_single_interface("ApolloPort", self, arguments);
}
void helix4_10g_init(py::object self, py::dict arguments) {
  init_single_interface("Helix4Port", self, arguments);
}
void hurricane2_single_init(py::object self, py::dict arguments) {
  init_single_interface("Hurricane2Port", self, arguments);
}

void hurricane2_13g_fabric_init(py::object self, py::dict arguments) {
  init_base("Hurricane213GPort", self, arguments);
}

// --- Numbering from the interface prefix and number ---

// The interface number and prefix of a sub-port, asked through the object
// in that order (a bad number fails before the prefix is looked at).
struct InterfaceName {
  py::object number;
  py::object prefix;

  bool has_prefix(const char* text) const { return mode_is(prefix, text); }
};

InterfaceName interface_name(py::object self, py::object mode, py::object sub) {
  py::object number = self.attr("hw_intf_num")(mode, sub);
  py::object prefix = self.attr("hw_intf_prefix")(mode, sub);
  return {number, prefix};
}

[[noreturn]] void bad_prefix() { common::raise_runtime("bad interface prefix"); }

py::object plus(const py::object& number, long offset) { return number + py::int_(offset); }

// Apollo: "ge" n takes n + 1 up to 35 and n + 2 above (37 is skipped);
// "hg" n takes n + 50.
py::object apollo_hw_port_num(py::object self, py::object mode, py::object sub) {
  InterfaceName name = interface_name(self, mode, sub);
  if (name.has_prefix("ge")) return plus(name.number, name.number > py::int_(35) ? 2 : 1);
  if (name.has_prefix("hg")) return plus(name.number, 50);
  bad_prefix();
}

// Apollo LEDs: "ge" n on n + 1, "hg" n on n + 73.
py::object apollo_led_port_num(py::object self, py::object mode, py::object sub) {
  InterfaceName name = interface_name(self, mode, sub);
  if (name.has_prefix("ge")) return plus(name.number, 1);
  if (name.has_prefix("hg")) return plus(name.number, 73);
  bad_prefix();
}

// Helix4 LEDs: "ge" n on n + 1, "hg" n on n + 49 (after the 49 "ge" ports).
py::object helix4_led_port_num(py::object self, py::object mode, py::object sub) {
  InterfaceName name = interface_name(self, mode, sub);
  if (name.has_prefix("ge")) return plus(name.number, 1);
  if (name.has_prefix("hg")) return plus(name.number, 49);
  bad_prefix();
}

// Hurricane2: "ge" n on n + 2, "xe" n on n + 26, "hg" n on n + 28.
py::object hurricane2_hw_port_num(py::object self, py::object mode, py::object sub) {
  InterfaceName name = interface_name(self, mode, sub);
  if (name.has_prefix("ge")) return plus(name.number, 2);
  if (name.has_prefix("xe")) return plus(name.number, 26);
  if (name.has_prefix("hg")) return plus(name.number, 28);
  bad_prefix();
}

// Hurricane2 LEDs: "ge" n on n + 2, "xe" n on 2n + 26; "hg" has no LED.
py::object hurricane2_led_port_num(py::object self, py::object mode, py::object sub) {
  InterfaceName name = interface_name(self, mode, sub);
  if (name.has_prefix("ge")) return plus(name.number, 2);
  if (name.has_prefix("xe")) return plus(name.number * py::int_(2), 26);
  bad_prefix();
}

// The bitmap bit of the object's own hardware port number.
py::object computed_hw_pbmp(py::object self, py::object mode, py::object sub) {
  return common::one_shifted(self.attr("hw_port_num")(mode, sub));
}

// --- Speeds of the 1G classes ---

// The 1G classes answer their speed per object, for any mode.
py::object one_gigabit(py::object, py::object) { return py::int_(1); }

// A 1G port runs on one lane; the mode is checked as for every lane count.
py::object one_lane(py::object cls, py::object mode) {
  cls.attr("_check_mode")(mode);
  return py::int_(1);
}

// --- Port-bitmap tables ---

void append_names(py::list& names, const char* prefix, int first, int last) {
  for (int n = first; n <= last; ++n) names.append(py::str(prefix + std::to_string(n)));
}

py::dict triumph_pbmp_map() {
  py::list names;
  append_names(names, "ge", 48, 48);
  append_names(names, "ge", 8, 15);
  append_names(names, "ge", 20, 27);
  append_names(names, "ge", 32, 39);
  append_names(names, "hg", 0, 3);
  append_names(names, "ge", 0, 7);
  append_names(names, "ge", 16, 19);
  append_names(names, "ge", 28, 31);
  append_names(names, "ge", 40, 47);
  return numbered_pbmp_map(names);
}

py::dict helix4_pbmp_map() {
  py::list names;
  append_names(names, "ge", 0, 48);
  append_names(names, "hg", 0, 5);
  return numbered_pbmp_map(names);
}

}  // namespace

void define_earlier_family_ports(Catalogue& catalogue) {
  using family::constant_count_of_mode;
  const py::arg self("self"), mode("mode"), sub("sub");

  ClassBuilder triumph = catalogue.define("TriumphPort", "BCMPort");
  triumph.attr("pbmp_map", triumph_pbmp_map());
  bind_constructor(triumph, kNamedPortSignature, &named_port_init).build();

  ClassBuilder apollo = catalogue.define("ApolloPort", "BCMPort");
  apollo.method("hw_port_num", &apollo_hw_port_num, self, mode, sub)
      .method("hw_pbmp", &computed_hw_pbmp, self, mode, sub)
      .method("led_port_num", &apollo_led_port_num, self, mode, sub);
  bind_constructor(apollo, kApolloPortSignature, &named_port_init).build();

  ClassBuilder helix4 = catalogue.define("Helix4Port", "BCMPort");
  helix4.attr("pbmp_map", helix4_pbmp_map())
      .method("led_port_num", &helix4_led_port_num, self, mode, sub);
  bind_constructor(helix4, kNamedPortSignature, &named_port_init).build();

  ClassBuilder hurricane2 = catalogue.define("Hurricane2Port", "BCMPort");
  hurricane2.method("hw_port_num", &hurricane2_hw_port_num, self, mode, sub)
      .method("led_port_num", &hurricane2_led_port_num, self, mode, sub)
      .method("hw_pbmp", &computed_hw_pbmp, self, mode, sub);
  bind_constructor(hurricane2, kNamedPortSignature, &named_port_init).build();

  // The 1G classes: speed answered per object, one lane, one logical port.
  struct OneGigabitClass {
    const char* name;
    const char* base;
    LegacyConstructorBody init;
    bool takes_phy_layer;
  };
  const OneGigabitClass one_gigabit_classes[] = {
      {"Apollo1GPort", "ApolloPort", &apollo_1g_init, false},
      {"Triumph1GPort", "TriumphPort", &triumph_1g_init, true},
      {"Helix41GPort", "Helix4Port", &helix4_1g_init, true},
      {"Hurricane21GPort", "Hurricane2Port", &hurricane2_1g_init, true},
  };
  for (const OneGigabitClass& entry : one_gigabit_classes) {
    ClassBuilder port = catalogue.define(entry.name, entry.base);
    port.attr("modes", texts({"1G"})).attr("default_mode", py::str("1G"));
    if (entry.takes_phy_layer) {
      bind_constructor(port, k1GPortSignature, entry.init);
    } else {
      bind_constructor(port, kApollo1GPortSignature, entry.init);
    }
    port.method("speed", &one_gigabit, self, mode)
        .classmethod("num_lanes", &one_lane, py::arg("cls"), mode)
        .method("num_logical_ports", &constant_count_of_mode<1>, self, mode)
        .property("max_logical_ports", &constant_count<1>)
        .build();
  }

  ClassBuilder apollo_10g = catalogue.define("Apollo10GPort", "ApolloPort");
  apollo_10g.attr("modes", texts({"10G"}))
      .attr("default_mode", py::str("10G"))
      .attr("_speed_map", speed_map({{"10G", 10}}));
  bind_constructor(apollo_10g, kApollo10GPortSignature, &apollo_10g_init)
      .method("num_logical_ports", &constant_count_of_mode<1>, self, mode)
      .property("max_logical_ports", &constant_count<1>)
      .build();

  // The 10G classes with a polarity flip: one flag per port.
  struct TenGigabitClass {
    const char* name;
    const char* base;
    LegacyConstructorBody init;
    bool keeps_hg_prefix;
  };
  const TenGigabitClass ten_gigabit_classes[] = {
      {"Triumph10GPort", "TriumphPort", &triumph_10g_init, false},
      {"Helix410GPort", "Helix4Port", &helix4_10g_init, false},
      {"Hurricane210GPort", "Hurricane2Port", &hurricane2_single_init, true},
  };
  for (const TenGigabitClass& entry : ten_gigabit_classes) {
    ClassBuilder port = catalogue.define(entry.name, entry.base);
    port.attr("modes", texts({"10G"}))
        .attr("default_mode", py::str("10G"))
        .attr("_speed_map", speed_map({{"10G", 10}}));
    if (entry.keeps_hg_prefix) port.attr("disable_prefix_xlate", py::bool_(true));
    bind_constructor(port, k10GPortSignature, entry.init)
        .method("num_logical_ports", &constant_count_of_mode<1>, self, mode)
        .property("max_logical_ports", &constant_count<1>)
        .method("polarity_flip_val", &single_lane_polarity, self, mode, sub,
                py::arg("polarity_flip"))
        .build();
  }

  ClassBuilder hurricane2_13g = catalogue.define("Hurricane213GPort", "Hurricane2Port");
  hurricane2_13g.attr("modes", texts({"13G"}))
      .attr("default_mode", py::str("13G"))
      .attr("_speed_map", speed_map({{"13G", 13}}))
      .attr("disable_prefix_xlate", py::bool_(true));
  bind_constructor(hurricane2_13g, k13GPortSignature, &hurricane2_single_init)
      .method("num_logical_ports", &constant_count_of_mode<1>, self, mode)
      .property("max_logical_ports", &constant_count<1>)
      .build();

  ClassBuilder hurricane2_fabric = catalogue.define("Hurricane213GFabricPort", "Hurricane213GPort");
  hurricane2_fabric.attr("is_fabric", py::bool_(true));
  bind_constructor(hurricane2_fabric, k13GFabricPortSignature, &hurricane2_13g_fabric_init)
      .build();
}

}  // namespace asicmodel
