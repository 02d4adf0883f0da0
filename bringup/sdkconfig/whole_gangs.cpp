// The port wiring's test of the gangs: every ganged port must belong to a
// whole gang, one whose leader the gang calculation gave its member set.
// A port outside one would wire lanes twice or not at all.
#include <vector>

#include "bringup/sdkconfig/sdkconfig_ops.hpp"

namespace bringup {

py::object layout_key(py::handle port) {
  static const py::handle fabric_prefix = common::forever(py::str("Fabric-"));
  SW_LET(label, common::get(port, names.label));
  SW_LET(fabric, common::get(port, names.is_fabric));
  SW_LET(is_fabric, common::truth(fabric));
  if (!is_fabric) return label;
  return common::steal(PyNumber_Add(fabric_prefix.ptr(), label.ptr()));
}

namespace {

// The port that leads, or would lead, the gang of the configured `port`:
// `port` itself when it leads; else the nearest platform port of its unit
// at most max_gang_size - 1 hardware numbers below it that leads in its
// mode (is given logical ports); else, when no port would, `port` itself.
// Runs only to name a refused gang.
py::object gang_head(py::handle self, py::handle port) {
  static const py::handle one = common::forever(py::int_(1)), zero = common::forever(py::int_(0));
  SW_LET(leads, common::get(port, names.gang_leader));
  if (is_true(leads)) return common::ref(port);
  SW_LET(physical, common::get(port, names.physical_port));
  SW_LET(mode, common::get(port, names.mode));
  SW_LET(size, common::get(port, names.max_gang_size));
  SW_LET(number, hardware_number(physical));
  SW_LET(unit, common::get(port, names.unit));
  SW_LET(reach, common::steal(PyNumber_Subtract(size.ptr(), one.ptr())));
  SW_LET(lowest, common::steal(PyNumber_Subtract(number.ptr(), reach.ptr())));
  SW_LET(platform_switch, switch_of(self));
  SW_LET(platform_ports, common::get(platform_switch, names.ports));
  SW_LET(iterator, common::steal(PyObject_GetIter(platform_ports.ptr())));
  py::object head = common::ref(port), head_number = lowest;
  bool found = false;
  while (PyObject* raw = PyIter_Next(iterator.ptr())) {
    py::object candidate = common::steal(raw);
    SW_LET(gang_modes, common::get(candidate, names.gang_modes));
    SW_LET(gangs_so, common::contains(gang_modes, mode));
    if (!gangs_so) continue;
    SW_LET(candidate_unit, common::get(candidate, names.unit));
    SW_LET(same_unit, common::equal(candidate_unit, unit));
    if (!same_unit) continue;
    SW_LET(candidate_number, hardware_number(candidate));
    SW_LET(above, PyObject_RichCompareBool(candidate_number.ptr(), number.ptr(), Py_GT));
    if (above) continue;
    SW_LET(nearer, PyObject_RichCompareBool(candidate_number.ptr(), head_number.ptr(),
                                            found ? Py_GT : Py_GE));
    if (!nearer) continue;
    SW_LET(count, common::call_method(candidate, names.num_logical_ports, mode));
    SW_LET(no_logical_port, common::equal(count, zero));
    if (no_logical_port) continue;
    head = candidate;
    head_number = candidate_number;
    found = true;
  }
  if (PyErr_Occurred()) return {};
  return head;
}

}  // namespace

py::object refuse_broken_gang(py::handle self, py::handle ports) {
  std::vector<py::handle> ganged;  // borrowed from `ports`
  SW_LET(whole, common::steal(PySet_New(nullptr)));
  for (Py_ssize_t i = 0; i < PyList_GET_SIZE(ports.ptr()); ++i) {
    py::handle port = PyList_GET_ITEM(ports.ptr(), i);
    SW_LET(is_ganged, common::get(port, names.ganged));
    if (!is_true(is_ganged)) continue;
    ganged.push_back(port);
    SW_LET(members, common::get(port, names.ganged_ports));
    if (members.is_none()) continue;
    SW_LET(iterator, common::steal(PyObject_GetIter(members.ptr())));
    while (PyObject* member = PyIter_Next(iterator.ptr())) {
      int added = PySet_Add(whole.ptr(), member);
      Py_DECREF(member);
      if (added < 0) return {};
    }
    if (PyErr_Occurred()) return {};
  }
  for (py::handle port : ganged) {
    SW_LET(in_whole_gang, PySet_Contains(whole.ptr(), port.ptr()));
    if (in_whole_gang) continue;
    SW_LET(head, gang_head(self, port));
    SW_LET(key, layout_key(head));
    return refuse_layout(self, "platform: %s: Incomplete ganged set led by port %s", key);
  }
  return common::none();
}

}  // namespace bringup
