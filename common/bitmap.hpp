// Port bitmaps are Python ints of unbounded width: positions pass 128, so
// no machine word can hold them.
#pragma once

#include <pybind11/pybind11.h>

namespace common {

namespace py = pybind11;

// 1 << position without throwing: null with the error set on failure.
inline py::object bit_at(py::handle position) {
  static PyObject* const one = PyLong_FromLong(1);
  return py::reinterpret_steal<py::object>(PyNumber_Lshift(one, position.ptr()));
}

// 1 << position, with position any Python int.
inline py::object one_shifted(py::handle position) {
  PyObject* result = PyNumber_Lshift(py::int_(1).ptr(), position.ptr());
  if (!result) throw py::error_already_set();
  return py::reinterpret_steal<py::object>(result);
}

// An int from its decimal text (for constants wider than 64 bits).
inline py::object int_from_decimal_text(const char* text) {
  PyObject* result = PyLong_FromString(text, nullptr, 10);
  if (!result) throw py::error_already_set();
  return py::reinterpret_steal<py::object>(result);
}

// The int with exactly the given bit positions set.
template <typename Positions>
py::object bits_set(const Positions& positions) {
  py::object value = py::int_(0);
  for (auto position : positions) {
    PyObject* result = PyNumber_Or(value.ptr(), one_shifted(py::int_(position)).ptr());
    if (!result) throw py::error_already_set();
    value = py::reinterpret_steal<py::object>(result);
  }
  return value;
}

}  // namespace common
