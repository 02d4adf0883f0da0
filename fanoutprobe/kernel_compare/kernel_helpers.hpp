// Small host-value pieces the kernel readers, the expansion and the
// comparison share.
#pragma once

#include <pybind11/pybind11.h>

#include "common/host_calls.hpp"
#include "fanoutprobe/asic_tables/lasting.hpp"
#include "fanoutprobe/names.hpp"

namespace fanoutprobe {

namespace py = pybind11;

// Fixed words (device kinds, difference texts), each made once.
inline const py::object& word_text(const char* word) { return lasting(py::str(word)); }
#define FANOUTPROBE_WORD(variable, word) \
  static const py::object& variable = ::fanoutprobe::word_text(word)

// `value == constant` as the host compares: 1, 0, or -1 with the error set.
inline int is_value(py::handle value, const py::object& constant) {
  return PyObject_RichCompareBool(value.ptr(), constant.ptr(), Py_EQ);
}

// `map.get(key)` with absence told apart: 1 and `value` set when found, 0
// when absent, -1 with the error set.
inline int lookup(py::handle map, py::handle key, py::object& value) {
  if (PyDict_CheckExact(map.ptr())) {
    PyObject* found = PyDict_GetItemWithError(map.ptr(), key.ptr());
    if (!found) return PyErr_Occurred() ? -1 : 0;
    value = common::borrow(found);
    return 1;
  }
  int present = common::contains(map, key);
  if (present <= 0) return present;
  value = common::item(map, key);
  return value ? 1 : -1;
}

// "%s.%d" of a name and a VLAN id.
inline py::object dotted(py::handle name, py::handle vlan) {
  if (PyUnicode_CheckExact(name.ptr()) && PyLong_CheckExact(vlan.ptr()))
    return common::steal(PyUnicode_FromFormat("%U.%S", name.ptr(), vlan.ptr()));
  return common::percent_text("%s.%d", name, vlan);
}

// `names.add(name)`: straight into a set, through the object otherwise.
inline bool add_to(py::handle names_set, py::handle name) {
  if (PyAnySet_CheckExact(names_set.ptr())) return PySet_Add(names_set.ptr(), name.ptr()) == 0;
  return static_cast<bool>(common::call_method(names_set, names.add, name));
}

// A new (kind, dev, vlan) style tuple of the values given.
template <typename... Values>
py::object tuple_of(const Values&... values) {
  return common::steal(PyTuple_Pack(sizeof...(Values), py::handle(values).ptr()...));
}

// `a, b = pair` / `a, b, c = triple` with the host's unpacking errors.
bool unpack(py::handle sequence, py::object* targets, Py_ssize_t count);

}  // namespace fanoutprobe
