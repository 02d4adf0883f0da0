// Trident-family port bases: TridentThreePort, TridentTwoPort,
// TridentTwoPlusPort and TridentPort. Each turns serdes numbers into the
// port's hardware interface names and carries the family's answers for
// numbering, interface prefix, auto-negotiation and fiber preference.
#include <array>

#include "asicmodel/core/lane_naming.hpp"
#include "asicmodel/core/lane_port_signatures.hpp"
#include "asicmodel/core/names.hpp"
#include "asicmodel/core/phy_settings.hpp"
#include "asicmodel/core/port_naming.hpp"
#include "asicmodel/core/registrations.hpp"
#include "asicmodel/trident/trident_constructors.hpp"
#include "common/host_calls.hpp"

namespace asicmodel {

namespace {

using namespace trident;

// The 19 SDKPort fields, in the record's constructor order.
constexpr std::array<PyObject* Names::*, 19> kSDKPortFields = {
    &Names::label,           &Names::hw_ports,         &Names::phy_types,
    &Names::phy_addrs,       &Names::phy_layer,        &Names::prim_offset,
    &Names::leds,            &Names::unit,             &Names::rx_polarity_flip,
    &Names::tx_polarity_flip, &Names::rx_lane_map,     &Names::tx_lane_map,
    &Names::mdi_pair_map,    &Names::pre_emphasis,     &Names::drv_current,
    &Names::pre_drv_current, &Names::oversub,          &Names::phy_id1,
    &Names::sys_interface};

// Hands the 19 SDKPort fields to the BCMPort constructor by name, the
// serdes numbers turned into `hw_ports` first.
py::object init_sdk_port(py::handle self, const Fields& arguments, const char* name_format) {
  SW_LET(hw_ports, serdes_lane_names(name_format, arguments.get(names.serdes)));
  Fields fields;
  for (PyObject* Names::*field : kSDKPortFields) {
    PyObject* name = names.*field;
    fields.set(name, name == names.hw_ports ? py::handle(hw_ports) : arguments.get(name));
  }
  return init_base(names.BCMPort, self, fields);
}

// Trident and Trident+ ports have no serdes tuning, PHY identifier or
// system interface, and are never over-subscribed.
py::object trident_port_init(py::handle self, Fields& arguments) {
  for (PyObject* field : {names.pre_emphasis, names.drv_current, names.pre_drv_current,
                          names.phy_id1, names.sys_interface}) {
    arguments.set(field, Py_None);
  }
  arguments.set(names.oversub, Py_False);
  return init_sdk_port(self, arguments, "hg%u");
}

py::object trident_two_port_init(py::handle self, Fields& arguments) {
  return init_sdk_port(self, arguments, "hg%u");
}

py::object trident_three_port_init(py::handle self, Fields& arguments) {
  return init_sdk_port(self, arguments, "ce%u");
}

// Trident2 LED port numbers are not known to this layer.
py::object trident_two_led_port_num(py::handle, py::handle, py::handle) {
  return common::fail(PyExc_RuntimeError, "Trident 2 LED port unknown");
}

// Trident2 auto-negotiation: the 10G-lane rule, "auto" for clause 37 and
// "off" for clause 73 (Trident2+ answers "on" for clause 37).
py::object trident_two_an_c37(py::handle self, py::handle mode) {
  return ten_gig_autoneg(self, mode, "auto");
}

py::object trident_two_an_c73(py::handle self, py::handle mode) {
  return ten_gig_autoneg(self, mode, "off");
}

py::object trident_two_plus_an_c37(py::handle self, py::handle mode) {
  return ten_gig_autoneg(self, mode, "on");
}

py::object trident_three_led_port_num(py::handle self, py::handle mode, py::handle sub) {
  return common::call_method(self, names.hw_intf_num, mode, sub);
}

// Trident3 logical ports: interface number + 1, the numbers 65 and 66
// left out (interface 64 and up get 67 and up).
py::object trident_three_logical_port_num(py::handle self, py::handle mode, py::handle sub,
                                          py::handle) {
  static const py::handle one = common::forever(py::int_(1)), two = common::forever(py::int_(2)),
                          sixty_four = common::forever(py::int_(64));
  SW_LET(interface, common::call_method(self, names.hw_intf_num, mode, sub));
  SW_LET(number, common::steal(PyNumber_Add(interface.ptr(), one.ptr())));
  SW_LET(above, common::compare(number, sixty_four, Py_GT));
  if (!above) return number;
  return common::steal(PyNumber_Add(number.ptr(), two.ptr()));
}

}  // namespace

void define_trident_port_bases(Catalogue& catalogue) {
  ClassBuilder trident_three = catalogue.define("TridentThreePort", "BCMPort");
  trident_three.attr("pbmp_map", prefixed_pbmp_map("xe", 132));
  bind_constructor(trident_three, kLanePortSignature, &trident_three_port_init)
      .method("led_port_num", &trident_three_led_port_num, {"self", "mode", "sub"})
      .method("hw_port_num", &lane_hw_port_num, {"self", "mode", "sub"})
      .method("hw_intf_prefix", &ce_in_100g_intf_prefix, {"self", "mode", "sub"})
      .method("logical_port_num", &trident_three_logical_port_num,
              {"self", "mode", "sub", "port_base"})
      .build();

  ClassBuilder trident_two = catalogue.define("TridentTwoPort", "BCMPort");
  trident_two.attr("pbmp_map", prefixed_pbmp_map("hg", 128))
      .method("led_port_num", &trident_two_led_port_num, {"self", "mode", "sub"});
  bind_constructor(trident_two, kLanePortSignature, &trident_two_port_init)
      .method("an_c37", &trident_two_an_c37, {"self", "mode"})
      .method("an_c73", &trident_two_an_c73, {"self", "mode"})
      .build();

  catalogue.define("TridentTwoPlusPort", "TridentTwoPort")
      .method("an_c37", &trident_two_plus_an_c37, {"self", "mode"})
      .method("logical_port_num", &port_base_logical_port_num,
              {"self", "mode", "sub", "port_base"})
      .property("set_fiber_pref", &sfp_fiber_pref)
      .build();

  ClassBuilder trident = catalogue.define("TridentPort", "BCMPort");
  trident.attr("pbmp_map", prefixed_pbmp_map("hg", 72));
  bind_constructor(trident, kTridentBaseParameters, &trident_port_init).build();
}

}  // namespace asicmodel
