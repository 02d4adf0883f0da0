// Small helpers for working with Python values the host's way.
#pragma once

#include <pybind11/pybind11.h>

namespace common {

namespace py = pybind11;

// Python's ==, as the host would evaluate it (numbers compare by value).
inline bool py_equal(py::handle a, py::handle b) {
  int r = PyObject_RichCompareBool(a.ptr(), b.ptr(), Py_EQ);
  if (r < 0) throw py::error_already_set();
  return r == 1;
}

// Python's truth test.
inline bool py_truthy(py::handle value) {
  int r = PyObject_IsTrue(value.ptr());
  if (r < 0) throw py::error_already_set();
  return r == 1;
}

// `key in container`.
inline bool py_contains(py::handle container, py::handle key) {
  int r = PySequence_Contains(container.ptr(), key.ptr());
  if (r < 0) throw py::error_already_set();
  return r == 1;
}

inline py::object py_bool(bool value) { return py::reinterpret_borrow<py::object>(value ? Py_True : Py_False); }

}  // namespace common

namespace common {

// seq[start:stop], either bound may be None.
inline py::object py_slice(py::handle seq, py::object start, py::object stop) {
  PyObject* slice = PySlice_New(start.ptr(), stop.ptr(), nullptr);
  if (!slice) throw py::error_already_set();
  PyObject* result = PyObject_GetItem(seq.ptr(), slice);
  Py_DECREF(slice);
  if (!result) throw py::error_already_set();
  return py::reinterpret_steal<py::object>(result);
}

}  // namespace common
