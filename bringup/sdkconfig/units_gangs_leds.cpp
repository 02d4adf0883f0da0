// The units in use, the gangs (each leader gets the set of its members)
// and one configured LED controller per LED controller index.
#include <algorithm>
#include <cstdint>
#include <utility>
#include <vector>

#include "bringup/sdkconfig/sdkconfig_ops.hpp"

namespace bringup {

namespace {

// A new controller: `glimmer[index]()`, or `glimmer()` when that fails with
// the host's TypeError, which then stays the context of a later failure.
py::object make_controller(py::handle glimmer, py::handle index) {
  py::object entry = common::item(glimmer, index);
  py::object controller = entry ? common::call(entry) : py::object();
  if (controller) return controller;
  if (!PyErr_ExceptionMatches(PyExc_TypeError)) return {};
  PyObject *type, *value, *traceback;
  PyErr_Fetch(&type, &value, &traceback);
  PyErr_NormalizeException(&type, &value, &traceback);
  if (traceback) PyException_SetTraceback(value, traceback);
  controller = common::call(glimmer);
  if (controller) {
    Py_XDECREF(type);
    Py_XDECREF(value);
    Py_XDECREF(traceback);
    return controller;
  }
  _PyErr_ChainExceptions(type, value, traceback);
  return {};
}

// The controller indexes: the switch's list when set, else those the
// ports name; ascending.
py::object controller_indexes(py::handle self, py::handle platform_switch, py::handle ports) {
  SW_LET(listed, common::get(platform_switch, names.led_controllers));
  SW_LET(is_set, listed.is_none() ? 0 : common::truth(listed));
  py::object indexes;
  if (is_set) {
    SW_CHECK(indexes = common::steal(PySet_New(listed.ptr())));
  } else {
    SW_CHECK(indexes = common::steal(PySet_New(nullptr)));
    for (Py_ssize_t i = 0; i < PyList_GET_SIZE(ports.ptr()); ++i) {
      SW_LET(leds, common::get(PyList_GET_ITEM(ports.ptr(), i), names.leds));
      if (leds.is_none()) continue;
      SW_LET(index, common::item_at(leds, 0));
      SW_CHECK(PySet_Add(indexes.ptr(), index.ptr()));
    }
  }
  (void)self;
  SW_LET(ordered, common::steal(PySequence_List(indexes.ptr())));
  SW_CHECK(PyList_Sort(ordered.ptr()));
  return ordered;
}

}  // namespace

py::object hardware_number(py::handle platform_port) {
  SW_LET(hw_ports, common::get(platform_port, names.hw_ports));
  SW_LET(first, common::item_at(hw_ports, 0));
  SW_LET(digits, common::steal(PySequence_GetSlice(first.ptr(), 2, PY_SSIZE_T_MAX)));
  return to_int(digits);
}

py::object calculate_units(py::handle self) {
  SW_LET(ports, ports_of(self));
  SW_LET(units, common::steal(PySet_New(nullptr)));
  for (Py_ssize_t i = 0; i < PyList_GET_SIZE(ports.ptr()); ++i) {
    SW_LET(unit, common::get(PyList_GET_ITEM(ports.ptr(), i), names.unit));
    if (!unit.is_none()) SW_CHECK(PySet_Add(units.ptr(), unit.ptr()));
  }
  SW_CHECK(common::set(self, names.units, units));
  return common::none();
}

py::object calculate_gangs(py::handle self, py::handle ports) {
  static const py::handle one = common::forever(py::int_(1));
  SW_LET(listed, common::steal(PySequence_List(ports.ptr())));
  // Each unit numbers its hardware ports on its own, so a gang lives within
  // one unit: the walk takes the units one after another, in the order the
  // ports first name them (None being a unit of its own), and each unit's
  // ports in ascending hardware number.
  struct Entry {
    std::size_t unit;
    py::object number, port;
  };
  std::vector<Entry> ordered;
  SW_LET(unit_ranks, common::steal(PyDict_New()));
  for (Py_ssize_t i = 0; i < PyList_GET_SIZE(listed.ptr()); ++i) {
    py::object port = common::borrow(PyList_GET_ITEM(listed.ptr(), i));
    SW_LET(physical, common::get(port, names.physical_port));
    SW_LET(number, hardware_number(physical));
    SW_LET(unit, common::get(port, names.unit));
    SW_LET(next_rank, common::steal(PyLong_FromSsize_t(PyDict_GET_SIZE(unit_ranks.ptr()))));
    SW_LET(rank, common::borrow(PyDict_SetDefault(unit_ranks.ptr(), unit.ptr(), next_rank.ptr())));
    ordered.push_back({PyLong_AsSize_t(rank.ptr()), std::move(number), std::move(port)});
  }
  // Numbers are host ints of any size: compared by the host, stably.
  bool failed = false;
  std::stable_sort(ordered.begin(), ordered.end(), [&](const Entry& a, const Entry& b) {
    if (a.unit != b.unit) return a.unit < b.unit;
    if (failed) return false;
    int less = PyObject_RichCompareBool(a.number.ptr(), b.number.ptr(), Py_LT);
    if (less < 0) failed = true;
    return less > 0;
  });
  if (failed) return {};
  // The gang being gathered: its leader, its unit, the mode and size the
  // leader sets, its members so far and the hardware number the next one
  // must have. A gang is whole when its members are the leader and the
  // ports of its unit on the following max_gang_size - 1 hardware numbers,
  // all in the leader's mode; only a whole gang's leader gets its set. Any
  // other ganged port is left without one, for the port wiring to refuse.
  py::object leader, gang_mode, gang_size, next_number, members;
  std::size_t gang_unit = 0;
  SW_LET(seen, common::steal(PySet_New(nullptr)));
  for (const auto& [unit, number, port] : ordered) {
    SW_LET(ganged, common::get(port, names.ganged));
    if (!is_true(ganged)) continue;
    SW_LET(repeated, PySet_Contains(seen.ptr(), port.ptr()));
    if (repeated) {
      SW_LET(label, common::get(port, names.label));
      return refuse_layout(self, "platform: %s: Duplicate port %s already in ganged set", label);
    }
    SW_CHECK(PySet_Add(seen.ptr(), port.ptr()));
    SW_LET(gang_leader, common::get(port, names.gang_leader));
    if (is_true(gang_leader)) {
      leader = port;
      gang_unit = unit;
      SW_CHECK(gang_mode = common::get(port, names.mode));
      SW_CHECK(gang_size = common::get(port, names.max_gang_size));
      SW_CHECK(members = common::steal(PySet_New(nullptr)));
    } else {
      if (!leader) continue;
      SW_LET(in_place, unit == gang_unit ? common::equal(number, next_number) : 0);
      SW_LET(mode, common::get(port, names.mode));
      SW_LET(same_mode, in_place ? common::equal(mode, gang_mode) : 0);
      if (!same_mode) {
        leader = py::object();  // a member missing, out of place or in another mode
        continue;
      }
    }
    SW_CHECK(PySet_Add(members.ptr(), port.ptr()));
    SW_CHECK(next_number = common::steal(PyNumber_Add(number.ptr(), one.ptr())));
    SW_LET(size, common::steal(PyLong_FromSsize_t(PySet_GET_SIZE(members.ptr()))));
    SW_LET(whole, common::equal(size, gang_size));
    if (!whole) continue;
    SW_LET(frozen, common::steal(PyFrozenSet_New(members.ptr())));
    SW_CHECK(common::set(leader, names.ganged_ports, frozen));
    leader = py::object();
  }
  return common::none();
}

py::object calculate_leds(py::handle self) {
  SW_LET(programs, common::steal(PyDict_New()));
  SW_CHECK(common::set(self, names._led_programs, programs));
  SW_LET(ports, ports_of(self));
  SW_LET(platform_switch, switch_of(self));
  SW_LET(indexes, controller_indexes(self, platform_switch, ports));
  for (Py_ssize_t i = 0; i < PyList_GET_SIZE(indexes.ptr()); ++i) {
    py::handle index = PyList_GET_ITEM(indexes.ptr(), i);
    SW_LET(glimmer, common::get(platform_switch, names.glimmer));
    SW_LET(controller, make_controller(glimmer, index));
    SW_LET(own_ports, common::steal(PyList_New(0)));
    for (Py_ssize_t k = 0; k < PyList_GET_SIZE(ports.ptr()); ++k) {
      py::handle port = PyList_GET_ITEM(ports.ptr(), k);
      SW_LET(leds, common::get(port, names.leds));
      if (leds.is_none()) continue;
      SW_LET(first, common::item_at(leds, 0));
      SW_LET(same, common::equal(first, index));
      if (same) SW_CHECK(PyList_Append(own_ports.ptr(), port.ptr()));
    }
    SW_CHECK(common::call_method(controller, names.configure, index, own_ports));
    SW_CHECK(PyDict_SetItem(programs.ptr(), index.ptr(), controller.ptr()));
  }
  return common::none();
}

py::object led_chains(py::handle self) {
  SW_LET(programs, common::get(self, names._led_programs));
  return common::steal(PySequence_List(programs.ptr()));
}

py::object port_units(py::handle self) {
  SW_LET(mapped_portnums, common::get(self, names.mapped_portnums));
  return common::steal(PySequence_List(mapped_portnums.ptr()));
}

}  // namespace bringup
