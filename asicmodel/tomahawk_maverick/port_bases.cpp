// Maverick, Tomahawk and Tomahawk2 port bases: how a serdes lane becomes a
// hardware interface name, and the family's hardware, LED and SDK logical
// port numbering.
#include "asicmodel/core/family_tables.hpp"
#include "asicmodel/core/lane_naming.hpp"
#include "asicmodel/core/lane_port_signatures.hpp"
#include "asicmodel/core/names.hpp"
#include "asicmodel/core/port_naming.hpp"
#include "asicmodel/core/registrations.hpp"
#include "asicmodel/tomahawk_maverick/family_constructor.hpp"
#include "asicmodel/tomahawk_maverick/host_arithmetic.hpp"
#include "common/host_calls.hpp"
#include "common/port_search.hpp"
#include "common/strict_int.hpp"

namespace asicmodel {

namespace {

using family::compare;
using family::minus;
using family::plus;

// The family bases name each serdes lane by `format` ("xe%u", "ce%u") and
// hand the SDKPort fields to BCMPort.
py::object init_with_lane_names(const char* format, py::handle self, Fields& arguments) {
  SW_LET(hw_ports, serdes_lane_names(format, arguments.get(names.serdes)));
  arguments.set(names.hw_ports, hw_ports);
  return init_base(names.BCMPort, self, family::sdk_port_fields(arguments));
}

py::object maverick_port_init(py::handle self, Fields& arguments) {
  return init_with_lane_names("xe%u", self, arguments);
}

py::object tomahawk_port_init(py::handle self, Fields& arguments) {
  return init_with_lane_names("ce%u", self, arguments);
}

py::object tomahawk_two_port_init(py::handle self, Fields& arguments) {
  return init_base(names.TomahawkPort, self, arguments);
}

// --- Maverick numbering ---

py::object maverick_hw_intf_prefix(py::handle, py::handle mode, py::handle) {
  static const py::handle ce = common::forever(py::str("ce")), ge = common::forever(py::str("ge")),
                          xe = common::forever(py::str("xe"));
  SW_LET(hundred, mode_is(mode, "100G"));
  if (hundred) return common::ref(ce);
  SW_LET(hundred_gang, mode_is(mode, "100G/4"));
  if (hundred_gang) return common::ref(ce);
  SW_LET(one_gigabit, mode_is(mode, "1G"));
  return common::ref(one_gigabit ? ge : xe);
}

// LED ports: lanes 0-35 give 1-36, lanes 36 and above fold back to 1.
py::object maverick_led_port_num(py::handle self, py::handle mode, py::handle sub) {
  SW_LET(n, common::call_method(self, names.hw_intf_num, mode, sub));
  SW_LET(folds, compare(n, Py_GE, 36));
  return folds ? minus(n, 35) : plus(n, 1);
}

// --- Tomahawk numbering ---

// LED ports: 0-31 stay, 32-95 lose 32, 96-127 lose 64; the two management
// interfaces 128 and 130 take LEDs 0 and 1.
py::object tomahawk_led_port_num(py::handle self, py::handle mode, py::handle sub) {
  SW_LET(n, common::call_method(self, names.hw_intf_num, mode, sub));
  SW_LET(first_management, compare(n, Py_EQ, 128));
  if (first_management) return common::integer(0);
  SW_LET(second_management, compare(n, Py_EQ, 130));
  if (second_management) return common::integer(1);
  SW_LET(above_first_pipe, compare(n, Py_GT, 31));
  if (!above_first_pipe) return common::ref(n);
  SW_LET(below_last_pipe, compare(n, Py_LT, 96));
  return below_last_pipe ? minus(n, 32) : minus(n, 64);
}

// SDK logical ports: lane + 1, skipping 33, 66-67 and 100-101 between the
// four pipes; management lanes 128 and 130 take 66 and 100.
py::object tomahawk_logical_port_num(py::handle self, py::handle mode, py::handle sub,
                                     py::handle) {
  SW_LET(lane, common::call_method(self, names.hw_port_num, mode, sub));
  SW_LET(p, plus(lane, 1));
  SW_LET(first_management, compare(p, Py_EQ, 129));
  if (first_management) return common::integer(66);
  SW_LET(second_management, compare(p, Py_EQ, 131));
  if (second_management) return common::integer(100);
  // Each gap test sees the number the one before left.
  const std::pair<long, long> kGaps[] = {{32, 1}, {65, 2}, {99, 2}};
  for (const auto& [above, skip] : kGaps) {
    SW_LET(past_gap, compare(p, Py_GT, above));
    if (past_gap) {
      p = plus(p, skip);
      SW_CHECK(p);
    }
  }
  return p;
}

// --- Tomahawk2 numbering ---

// LED ports: the interface number modulo 64, for numbers 0 to 255.
py::object tomahawk_two_led_port_num(py::handle self, py::handle mode, py::handle sub) {
  SW_LET(n, common::call_method(self, names.hw_intf_num, mode, sub));
  for (long above : {191L, 127L, 63L}) {
    SW_LET(past, compare(n, Py_GT, above));
    if (past) return minus(n, above + 1);
  }
  return common::ref(n);
}

// The first port of the running platform carrying `label` that is not a
// fabric port, or None.
py::object tomahawk_two_find_port(py::handle, py::handle label) {
  SW_LET(tervane, common::get(this_module(), names.tervane));
  SW_LET(platforms, common::get(tervane, names.platforms));
  SW_LET(platform, common::call_method(platforms, names.probe));
  SW_LET(platform_switch, common::get(platform, names.switch_));
  SW_LET(ports, common::get(platform_switch, names.ports));
  return common::front_panel_port(ports, label, names.label, names.is_fabric);
}

// The label of the next front-panel port: this label's number plus one.
py::object next_label(py::handle self) {
  SW_LET(label, common::get(self, names.label));
  SW_LET(number, PyLong_Check(label.ptr()) ? label : common::int_of_text(label));
  SW_LET(next, plus(number, 1));
  return common::steal(PyObject_Str(next.ptr()));
}

// Sub-ports 0 and 1 are numbered from half the first lane, skipping 33 and
// 66-67 and 100-101 as on Tomahawk; sub-ports 2 and 3 of a four-way
// breakout are the next front-panel port's sub-ports 0 and 1.
py::object tomahawk_two_logical_port_num(py::handle self, py::handle mode, py::handle sub,
                                         py::handle port_base) {
  static const py::handle zero = common::forever(py::int_(0));
  SW_LET(first_sub_port, compare(sub, Py_EQ, 0));
  int own_sub_port = first_sub_port;
  if (!own_sub_port) {
    own_sub_port = compare(sub, Py_EQ, 1);
    SW_CHECK(own_sub_port);
  }
  if (own_sub_port) {
    SW_LET(first_lane, common::call_method(self, names.hw_port_num, mode, zero));
    SW_LET(half, family::floor_div(first_lane, 2));
    SW_LET(counted, plus(half, 1));
    SW_LET(lport, common::steal(PyNumber_Add(counted.ptr(), sub.ptr())));
    // Exactly one adjustment, the highest gap passed.
    const std::pair<long, long> kGaps[] = {{96, 5}, {64, 3}, {32, 1}};
    for (const auto& [above, skip] : kGaps) {
      SW_LET(past_gap, compare(lport, Py_GT, above));
      if (past_gap) return plus(lport, skip);
    }
    return lport;
  }
  SW_LET(wanted, next_label(self));
  SW_LET(neighbour, common::call_method(self, names.find_port, wanted));
  if (neighbour.is_none()) {
    // Without its neighbour the sub-port has no number; answering None
    // would only surface later as a "None" configuration key.
    SW_LET(label, common::get(self, names.label));
    return common::fail_percent(
        PyExc_RuntimeError,
        "port %s: sub-port %s is carried by the port labelled %s, and the platform has "
        "no such port that is not a fabric port",
        label, sub, wanted);
  }
  SW_LET(neighbour_sub, minus(sub, 2));
  return common::call_method(neighbour, names.logical_port_num, mode, neighbour_sub, port_base);
}

}  // namespace

void define_tomahawk_maverick_port_bases(Catalogue& catalogue) {
  ClassBuilder maverick = catalogue.define("MaverickPort", "BCMPort");
  maverick.attr("pbmp_map", prefixed_pbmp_map("xe", 74));
  bind_constructor(maverick, kLanePortSignature, &maverick_port_init)
      .method("hw_port_num", &lane_hw_port_num, {"self", "mode", "sub"})
      .method("hw_intf_prefix", &maverick_hw_intf_prefix, {"self", "mode", "sub"})
      .method("led_port_num", &maverick_led_port_num, {"self", "mode", "sub"})
      .method("logical_port_num", &port_base_logical_port_num,
              {"self", "mode", "sub", "port_base"})
      .build();

  ClassBuilder tomahawk = catalogue.define("TomahawkPort", "BCMPort");
  tomahawk.attr("pbmp_map", prefixed_pbmp_map("xe", 132));
  bind_constructor(tomahawk, kLanePortSignature, &tomahawk_port_init)
      .method("led_port_num", &tomahawk_led_port_num, {"self", "mode", "sub"})
      .method("hw_port_num", &lane_hw_port_num, {"self", "mode", "sub"})
      .method("hw_intf_prefix", &ce_in_100g_intf_prefix, {"self", "mode", "sub"})
      .method("logical_port_num", &tomahawk_logical_port_num,
              {"self", "mode", "sub", "port_base"})
      .build();

  ClassBuilder tomahawk_two = catalogue.define("TomahawkTwoPort", "TomahawkPort");
  bind_constructor(tomahawk_two, kLaneSpeedPortSignature, &tomahawk_two_port_init)
      .method("led_port_num", &tomahawk_two_led_port_num, {"self", "mode", "sub"})
      .method("find_port", &tomahawk_two_find_port, {"self", "label"})
      .method("logical_port_num", &tomahawk_two_logical_port_num,
              {"self", "mode", "sub", "port_base"})
      .build();
}

}  // namespace asicmodel
