// Host-int arithmetic for the family numbering rules: the host's own
// operators on whatever number an operation was given (ints of any width
// stay ints), against small constants. Each returns a null object, or -1
// for a comparison, with the host's error set on failure.
#pragma once

#include <pybind11/pybind11.h>

#include "common/host_calls.hpp"

namespace asicmodel::family {

namespace py = pybind11;

// `n + k`, `n - k`, `n * k`, `n // k`. A small plain int is worked in C
// (the results stay far inside a long); anything else by the host.
inline py::object plus(py::handle n, long k) {
  long value = 0;
  if (common::small_int_value(n.ptr(), &value)) return common::integer(value + k);
  SW_LET(constant, common::integer(k));
  return common::steal(PyNumber_Add(n.ptr(), constant.ptr()));
}
inline py::object minus(py::handle n, long k) {
  long value = 0;
  if (common::small_int_value(n.ptr(), &value)) return common::integer(value - k);
  SW_LET(constant, common::integer(k));
  return common::steal(PyNumber_Subtract(n.ptr(), constant.ptr()));
}
inline py::object times(py::handle n, long k) {
  long value = 0;
  if (common::small_int_value(n.ptr(), &value) && k > -(1L << 30) && k < (1L << 30)) {
    return common::integer(value * k);
  }
  SW_LET(constant, common::integer(k));
  return common::steal(PyNumber_Multiply(n.ptr(), constant.ptr()));
}
inline py::object floor_div(py::handle n, long k) {
  long value = 0;
  if (k != 0 && common::small_int_value(n.ptr(), &value)) {
    long quotient = value / k;
    if (value % k != 0 && ((value < 0) != (k < 0))) --quotient;  // floor, as the host rounds
    return common::integer(quotient);
  }
  SW_LET(constant, common::integer(k));
  return common::steal(PyNumber_FloorDivide(n.ptr(), constant.ptr()));
}

// `n <op> k` for one of Py_LT, Py_LE, Py_EQ, Py_GT, Py_GE: 1, 0 or -1.
inline int compare(py::handle n, int op, long k) {
  long value = 0;
  if (common::small_int_value(n.ptr(), &value)) return common::compare_values(value, k, op);
  py::object constant = common::integer(k);
  if (!constant) return -1;
  return common::compare(n, constant, op);
}

}  // namespace asicmodel::family
