// Small pieces the record classes share: a text built from parts, the
// joined names of a list, and a list member's "append".
#pragma once

#include <pybind11/pybind11.h>

#include "common/host_calls.hpp"
#include "fanoutprobe/asic_tables/lasting.hpp"

namespace fanoutprobe {

namespace py = pybind11;

// Parts appended in order, joined once at the end.
class TextParts {
 public:
  TextParts() : parts_(common::steal(PyList_New(0))) {}
  // 0, or -1 with the host's error set (a failed part, or no room).
  int add(const py::object& part) { return part ? PyList_Append(parts_.ptr(), part.ptr()) : -1; }
  py::object joined() const {
    static const py::object& empty = lasting(py::str(""));
    return common::steal(PyUnicode_Join(empty.ptr(), parts_.ptr()));
  }

 private:
  py::object parts_;
};

// ",".join(names), as the host joins (TypeError for an item that is no text).
inline py::object comma_joined(py::handle names) {
  static const py::object& comma = lasting(py::str(","));
  return common::steal(PyUnicode_Join(comma.ptr(), names.ptr()));
}

inline py::object new_list() { return common::steal(PyList_New(0)); }

// `container.append(value)` through the object, so a list subclass sees it.
inline py::object append_to(py::handle container, py::handle value) {
  static PyObject* append = PyUnicode_InternFromString("append");
  return common::call_method(container, append, value);
}

// `value != -1` as the host compares: 1, 0, or -1 with the error set.
inline int differs_from_minus_one(py::handle value) {
  static const py::object& minus_one = lasting(py::int_(-1));
  return PyObject_RichCompareBool(value.ptr(), minus_one.ptr(), Py_NE);
}

}  // namespace fanoutprobe
