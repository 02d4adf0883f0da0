// Logical polarity flips: one logical port's mask (a gang leader combines
// its members, one bit position each, in hardware-port order) and the
// per-lane SDK lines.
#include <algorithm>
#include <cstdint>
#include <string_view>
#include <utility>
#include <vector>

#include "bringup/config/configured_port_ops.hpp"
#include "common/strict_int_core.hpp"

namespace bringup {

namespace {

// The number in a member's first hardware port name ("xe12" gives 12).
bool hardware_order_key(py::handle member, std::int64_t& key) {
  py::object port = physical_port_of(member);
  if (!port) return false;
  py::object hw_ports = common::get(port, names.hw_ports);
  if (!hw_ports) return false;
  py::object first = common::item_at(hw_ports, 0);
  if (!first) return false;
  py::object digits = common::steal(PySequence_GetSlice(first.ptr(), 2, PY_SSIZE_T_MAX));
  if (!digits) return false;
  py::object number = to_int(digits);
  if (!number) return false;
  int overflow = 0;
  key = PyLong_AsLongLongAndOverflow(number.ptr(), &overflow);
  if (overflow) {
    common::fail_percent(PyExc_ValueError, "integer out of range: %r", digits);
    return false;
  }
  return !(key == -1 && PyErr_Occurred());
}

// Member k contributes its platform port's answer (for the leader's mode)
// shifted left by k. A leader whose members were left out of the layout
// has no set: its gang never completed.
py::object gang_mask(py::handle self, PyObject* operation, py::handle sub) {
  SW_LET(members, common::get(self, names.ganged_ports));
  if (members.is_none()) {
    SW_LET(label, common::get(self, names.label));
    return common::fail_percent(PyExc_RuntimeError, "Incomplete ganged set led by port %s", label);
  }
  SW_LET(mode, common::get(self, names.mode));
  std::vector<std::pair<std::int64_t, py::object>> ordered;
  SW_LET(iterator, common::steal(PyObject_GetIter(members.ptr())));
  while (PyObject* raw = PyIter_Next(iterator.ptr())) {
    py::object member = common::steal(raw);
    std::int64_t key = 0;
    if (!hardware_order_key(member, key)) return {};
    ordered.emplace_back(key, std::move(member));
  }
  if (PyErr_Occurred()) return {};
  std::stable_sort(ordered.begin(), ordered.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  SW_LET(mask, common::integer(0));
  long position = 0;
  for (const auto& entry : ordered) {
    SW_LET(port, physical_port_of(entry.second));
    SW_LET(value, common::call_method(port, operation, mode, sub));
    SW_LET(shift, common::integer(position++));
    SW_LET(shifted, common::steal(PyNumber_Lshift(value.ptr(), shift.ptr())));
    mask = common::steal(PyNumber_Or(mask.ptr(), shifted.ptr()));
    SW_CHECK(mask);
  }
  return mask;
}

py::object logical_flip(py::handle self, PyObject* operation, py::handle sub) {
  SW_LET(leader, common::get(self, names.gang_leader));
  if (leader.ptr() == Py_True) return gang_mask(self, operation, sub);
  return forward_sub_named(self, operation, sub);
}

}  // namespace

// Lanes of one logical port by mode; the single-lane ports' slower modes
// (1G, 2.5G, 5G) take one lane as 10G does.
py::handle lanes_per_mode() {
  static const py::handle table = [] {
    py::dict lanes;
    for (const char* mode : {"10G", "25G", "4x10G", "4x25G", "1G", "2.5G", "5G"}) lanes[mode] = 1;
    for (const char* mode : {"2x50G", "50G", "2x20G", "2x40G"}) lanes[mode] = 2;
    for (const char* mode : {"40G", "100G", "40G/4", "100G/4"}) lanes[mode] = 4;
    return common::forever(std::move(lanes));
  }();
  return table;
}

namespace {

// One "<format>" line per lane of logical port `sub` of `port`, keyed by
// physical lane and the port's unit, appended to `portmap`, which is
// returned.
py::object lane_lines(py::handle port, py::handle portmap, py::handle sub, PyObject* operation,
                      py::handle format) {
  static const py::handle one = common::forever(py::int_(1));
  SW_LET(hardware, common::call_method(port, names.hw_intf_num, sub));
  SW_LET(base, common::steal(PyNumber_Add(hardware.ptr(), one.ptr())));
  SW_LET(flip, common::call_method(port, operation, sub));
  SW_LET(mode, common::get(port, names.mode));
  SW_LET(lanes_object, common::item(lanes_per_mode(), mode));
  const long lanes = PyLong_AsLong(lanes_object.ptr());
  SW_LET(unit, common::get(port, names.unit));
  for (long lane = 0; lane < lanes; ++lane) {
    SW_LET(offset, common::integer(lane));
    SW_LET(physical, common::steal(PyNumber_Add(base.ptr(), offset.ptr())));
    SW_LET(shifted, common::steal(PyNumber_Rshift(flip.ptr(), offset.ptr())));
    SW_LET(bit, common::steal(PyNumber_And(shifted.ptr(), one.ptr())));
    SW_LET(hex, common::steal(PyNumber_ToBase(bit.ptr(), 16)));
    SW_LET(line, common::percent_text(format, physical, unit, hex));
    SW_CHECK(common::call_method(portmap, names.append, line));
  }
  return common::borrow(portmap.ptr());
}

}  // namespace

py::object rx_logical_polarity_flip(py::handle self, py::handle sub) {
  return logical_flip(self, names.rx_logical_polarity_flip, sub);
}

py::object tx_logical_polarity_flip(py::handle self, py::handle sub) {
  return logical_flip(self, names.tx_logical_polarity_flip, sub);
}

py::object td3_rx_logical_polarity_flip(py::handle, py::handle port, py::handle portmap,
                                        py::handle sub) {
  static const py::handle format =
      common::forever(py::str("phy_chain_rx_polarity_flip_physical{%u.%u}=%s"));
  return lane_lines(port, portmap, sub, names.rx_logical_polarity_flip, format);
}

py::object td3_tx_logical_polarity_flip(py::handle, py::handle port, py::handle portmap,
                                        py::handle sub) {
  static const py::handle format =
      common::forever(py::str("phy_chain_tx_polarity_flip_physical{%u.%u}=%s"));
  return lane_lines(port, portmap, sub, names.tx_logical_polarity_flip, format);
}

}  // namespace bringup
