// Host-int arithmetic for the family numbering rules: the host's own
// operators on whatever number an operation was given (ints of any width
// stay ints), against small constants. Each returns a null object, or -1
// for a comparison, with the host's error set on failure.
#pragma once

#include <pybind11/pybind11.h>

#include "common/host_calls.hpp"

namespace asicmodel::family {

namespace py = pybind11;

// `n + k`, `n - k`, `n * k`, `n // k`.
inline py::object plus(py::handle n, long k) {
  SW_LET(constant, common::integer(k));
  return common::steal(PyNumber_Add(n.ptr(), constant.ptr()));
}
inline py::object minus(py::handle n, long k) {
  SW_LET(constant, common::integer(k));
  return common::steal(PyNumber_Subtract(n.ptr(), constant.ptr()));
}
inline py::object times(py::handle n, long k) {
  SW_LET(constant, common::integer(k));
  return common::steal(PyNumber_Multiply(n.ptr(), constant.ptr()));
}
inline py::object floor_div(py::handle n, long k) {
  SW_LET(constant, common::integer(k));
  return common::steal(PyNumber_FloorDivide(n.ptr(), constant.ptr()));
}

// `n <op> k` for one of Py_LT, Py_LE, Py_EQ, Py_GT, Py_GE: 1, 0 or -1.
inline int compare(py::handle n, int op, long k) {
  py::object constant = common::integer(k);
  if (!constant) return -1;
  return common::compare(n, constant, op);
}

}  // namespace asicmodel::family
