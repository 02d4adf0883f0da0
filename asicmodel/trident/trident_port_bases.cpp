// Trident-family port bases: TridentThreePort, TridentTwoPort,
// TridentTwoPlusPort and TridentPort. Each turns serdes numbers into the
// port's hardware interface names and carries the family's answers for
// numbering, interface prefix, auto-negotiation and fiber preference.
#include <cstring>

#include "asicmodel/core/lane_naming.hpp"
#include "asicmodel/core/lane_port_signatures.hpp"
#include "asicmodel/core/phy_settings.hpp"
#include "asicmodel/core/port_naming.hpp"
#include "asicmodel/core/port_record.hpp"
#include "asicmodel/core/registrations.hpp"
#include "asicmodel/trident/trident_constructors.hpp"
#include "common/host_errors.hpp"

namespace asicmodel {

namespace {

using namespace trident;

// Hands the 19 SDKPort fields to the BCMPort constructor by name, the
// serdes numbers turned into `hw_ports`.
void init_sdk_port(py::object self, const py::dict& arguments, const char* name_format) {
  py::tuple hw_ports = serdes_lane_names(name_format, arguments["serdes"]);
  py::dict fields;
  for (const char* field : kSDKPortFields) {
    fields[field] = std::strcmp(field, "hw_ports") == 0 ? py::object(hw_ports)
                                                        : py::object(arguments[field]);
  }
  init_base("BCMPort", self, fields);
}

// Trident and Trident+ ports have no serdes tuning, PHY identifier or
// system interface, and are never over-subscribed.
void trident_port_init(py::object self, py::dict arguments) {
  for (const char* field : {"pre_emphasis", "drv_current", "pre_drv_current", "phy_id1",
                            "sys_interface"}) {
    arguments[field] = py::none();
  }
  arguments["oversub"] = py::bool_(false);
  init_sdk_port(self, arguments, "hg%u");
}

void trident_two_port_init(py::object self, py::dict arguments) {
  init_sdk_port(self, arguments, "hg%u");
}

void trident_three_port_init(py::object self, py::dict arguments) {
  init_sdk_port(self, arguments, "ce%u");
}

// Trident2 LED port numbers are not known to this layer.
py::object trident_two_led_port_num(py::object, py::object, py::object) {
  common::raise_runtime("Trident 2 LED port unknown");
}

// Trident2 auto-negotiation: the 10G-lane rule, "auto" for clause 37 and
// "off" for clause 73 (Trident2+ answers "on" for clause 37).
py::object trident_two_an_c37(py::object self, py::object mode) {
  return ten_gig_autoneg(self, mode, "auto");
}

py::object trident_two_an_c73(py::object self, py::object mode) {
  return ten_gig_autoneg(self, mode, "off");
}

py::object trident_two_plus_an_c37(py::object self, py::object mode) {
  return ten_gig_autoneg(self, mode, "on");
}

py::object trident_three_led_port_num(py::object self, py::object mode, py::object sub) {
  return self.attr("hw_intf_num")(mode, sub);
}

// Trident3 logical ports: interface number + 1, the numbers 65 and 66
// left out (interface 64 and up get 67 and up).
py::object trident_three_logical_port_num(py::object self, py::object mode, py::object sub,
                                          py::object) {
  py::object number = self.attr("hw_intf_num")(mode, sub) + py::int_(1);
  if (number > py::int_(64)) number = number + py::int_(2);
  return number;
}

}  // namespace

void define_trident_port_bases(Catalogue& catalogue) {
  const py::arg self("self"), mode("mode"), sub("sub"), port_base("port_base");

  ClassBuilder trident_three = catalogue.define("TridentThreePort", "BCMPort");
  trident_three.attr("pbmp_map", prefixed_pbmp_map("xe", 132));
  bind_constructor(trident_three, kLanePortSignature, &trident_three_port_init)
      .method("led_port_num", &trident_three_led_port_num, self, mode, sub)
      .method("hw_port_num", &lane_hw_port_num, self, mode, sub)
      .method("hw_intf_prefix", &ce_in_100g_intf_prefix, self, mode, sub)
      .method("logical_port_num", &trident_three_logical_port_num, self, mode, sub, port_base)
      .build();

  ClassBuilder trident_two = catalogue.define("TridentTwoPort", "BCMPort");
  trident_two.attr("pbmp_map", prefixed_pbmp_map("hg", 128))
      .method("led_port_num", &trident_two_led_port_num, self, mode, sub);
  bind_constructor(trident_two, kLanePortSignature, &trident_two_port_init)
      .method("an_c37", &trident_two_an_c37, self, mode)
      .method("an_c73", &trident_two_an_c73, self, mode)
      .build();

  catalogue.define("TridentTwoPlusPort", "TridentTwoPort")
      .method("an_c37", &trident_two_plus_an_c37, self, mode)
      .method("logical_port_num", &port_base_logical_port_num, self, mode, sub, port_base)
      .property("set_fiber_pref", &sfp_fiber_pref)
      .build();

  ClassBuilder trident = catalogue.define("TridentPort", "BCMPort");
  trident.attr("pbmp_map", prefixed_pbmp_map("hg", 72));
  bind_constructor(trident, kTridentBaseParameters, &trident_port_init).build();
}

}  // namespace asicmodel
