// The names under which configured ports write their sub-port 0 keys (the
// PHY's primary port and offset, its identifier, its system interface).
// A gang member has no logical port of its own: on the chips that number
// logical ports in layout order its sub-port 0 is the SDK port after its
// leader's, the same for every member and the next port's own. The gang
// is one SDK port, whose keys its leader writes, so a member writes them
// only under a name of its own: one that no logical port of the layout
// takes and no other port without a logical port gives, so no other key
// of the text can be written under it. The layout is read for that only
// when a member has a value to write, once per text.
#include "bringup/sdkconfig/port_walk.hpp"
#include "bringup/sdkconfig/sdkconfig_ops.hpp"

namespace bringup {

namespace {

py::handle zero_int() {
  static const py::handle zero = common::forever(py::int_(0));
  return zero;
}

}  // namespace

SubPortZeroKeys::SubPortZeroKeys(py::handle self, KeyName naming, py::handle units)
    : self_(self), naming_(naming), units_(common::borrow(units.ptr())) {}

py::object SubPortZeroKeys::name_at(py::handle port, py::handle sub) {
  switch (naming_) {
    case KeyName::kConfigName:
      return common::call_method(port, names.sdk_config_intf, sub, units_);
    case KeyName::kLogicalPort:
      // `units` does not exist before the first `config`: read at the first name.
      if (several_ == -2 && (several_ = several_units(self_)) < 0) return {};
      return logical_port_key(port, sub, several_);
    case KeyName::kConfigNameOfUnit:
      break;
  }
  return common::call_method(port, names.sdk_config_intf, sub);
}

int SubPortZeroKeys::gang_member(py::handle port, long count) {
  if (count != 0) return 0;
  py::object ganged = common::get(port, names.ganged);
  if (!ganged) return -1;
  return is_true(ganged);
}

py::object SubPortZeroKeys::read_layout() {
  SW_CHECK(taken_ = common::steal(PySet_New(nullptr)));
  SW_CHECK(without_logical_port_ = common::steal(PyDict_New()));
  if (!walk_logical_ports(self_, [&](py::handle port, py::handle sub) -> int {
        py::object name = name_at(port, sub);
        return name ? PySet_Add(taken_.ptr(), name.ptr()) : -1;
      })) {
    return {};
  }
  SW_LET(ports, ports_of(self_));
  for (Py_ssize_t i = 0; i < PyList_GET_SIZE(ports.ptr()); ++i) {
    py::handle port = PyList_GET_ITEM(ports.ptr(), i);
    long count = 0;
    if (!logical_port_count(port, count)) return {};
    if (count != 0) continue;
    SW_LET(name, name_at(port, zero_int()));
    PyObject* given = PyDict_GetItemWithError(without_logical_port_.ptr(), name.ptr());
    if (!given && PyErr_Occurred()) return {};
    SW_LET(times, common::integer(given ? PyLong_AsLong(given) + 1 : 1));
    if (PyDict_SetItem(without_logical_port_.ptr(), name.ptr(), times.ptr()) < 0) return {};
  }
  return common::none();
}

py::object SubPortZeroKeys::key_name(py::handle port) { return name_at(port, zero_int()); }

py::object SubPortZeroKeys::name_of(py::handle port) {
  long count = 0;
  if (!logical_port_count(port, count)) return {};
  SW_LET(member, gang_member(port, count));
  SW_LET(name, key_name(port));
  if (!member) return name;
  if (!taken_) SW_CHECK(read_layout());
  SW_LET(taken, PySet_Contains(taken_.ptr(), name.ptr()));
  if (taken) return common::none();
  PyObject* given = PyDict_GetItemWithError(without_logical_port_.ptr(), name.ptr());
  if (!given && PyErr_Occurred()) return {};
  // Every port without a logical port is counted by the walk, so its own
  // name is given once.
  if (given && PyLong_AsLong(given) > 1) return common::none();
  return name;
}

}  // namespace bringup
