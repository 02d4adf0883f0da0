// Reading LED calls and runs the host's way, shared by the operations that
// walk a run list: a pad value is a call equal to 0 or to 1 (0 tested
// first), told apart without the host's comparisons where the answer is
// certain (plain ints, None, tuples and texts). Also the loops over a run
// list and over `range(n)` that those operations share.
#pragma once

#include <pybind11/pybind11.h>

#include <cstdint>
#include <string_view>

#include "common/host_calls.hpp"

namespace glimmer {

namespace py = pybind11;

// 0 or 1 for a pad value, -1 for any other call, -2 with the error set.
int pad_value_of(py::handle call);

// Whether `value` equals 0: 1/0, -1 with the error set.
int equals_zero(py::handle value);

// A run (call, count) unpacked; -1 with the host's unpacking error set.
int unpack_run(py::handle run, py::object& call, py::object& count);

// `value` as a plain 64-bit integer when it is a plain int that fits.
bool plain_int(py::handle value, std::int64_t& out);

// A host text from a line the core wrote (ASCII); null with the error set.
py::object line_text(std::string_view line);

// `for index in range(limit)`: calls `visit(index)` (a host int) until it
// returns false with the error set; -1 then. A plain int limit is counted
// here, anything else goes through the host's range.
template <typename Visit>
int for_each_index(py::handle limit, Visit&& visit) {
  std::int64_t count = 0;
  if (plain_int(limit, count)) {
    for (std::int64_t i = 0; i < count; ++i) {
      py::object index = common::steal(PyLong_FromLongLong(i));
      if (!index || !visit(index)) return -1;
    }
    return 0;
  }
  py::object range = common::call(reinterpret_cast<PyObject*>(&PyRange_Type), limit);
  if (!range) return -1;
  py::object iterator = common::steal(PyObject_GetIter(range.ptr()));
  if (!iterator) return -1;
  while (PyObject* raw = PyIter_Next(iterator.ptr())) {
    if (!visit(common::steal(raw))) return -1;
  }
  return PyErr_Occurred() ? -1 : 0;
}

// `for call, count in runs`: calls `visit(call, count, pad)` with the
// call's pad value (0, 1, or -1 for any other call) until it returns false
// with the error set; -1 then, or on an unpacking or comparison error.
template <typename Visit>
int for_each_run(py::handle runs, Visit&& visit) {
  py::object iterator = common::steal(PyObject_GetIter(runs.ptr()));
  if (!iterator) return -1;
  while (PyObject* raw = PyIter_Next(iterator.ptr())) {
    py::object run = common::steal(raw);
    py::object call, count;
    if (unpack_run(run, call, count) < 0) return -1;
    int pad = pad_value_of(call);
    if (pad == -2 || !visit(call, count, pad)) return -1;
  }
  return PyErr_Occurred() ? -1 : 0;
}

}  // namespace glimmer
