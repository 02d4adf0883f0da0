// Walking the configured ports of a generator, one text line at a time:
// the loop every per-port and per-logical-port section shares.
#pragma once

#include <pybind11/pybind11.h>

#include "bringup/sdkconfig/generator.hpp"
#include "bringup/sdkconfig/text_lines.hpp"
#include "common/host_calls.hpp"

namespace bringup {

namespace py = pybind11;

// Walks every logical port of every configured port: visit(port, sub, lines).
template <typename Visit>
py::object each_logical_port(py::handle self, Visit&& visit) {
  SW_LET(ports, ports_of(self));
  TextLines lines;
  for (Py_ssize_t i = 0; i < PyList_GET_SIZE(ports.ptr()); ++i) {
    py::handle port = PyList_GET_ITEM(ports.ptr(), i);
    long count = 0;
    if (!logical_port_count(port, count)) return {};
    for (long sub = 0; sub < count; ++sub) {
      SW_LET(sub_number, common::integer(sub));
      if (visit(port, sub_number, lines) < 0) return {};
    }
  }
  return lines.host();
}

// Walks every configured port once: visit(port, lines).
template <typename Visit>
py::object each_port(py::handle self, Visit&& visit) {
  SW_LET(ports, ports_of(self));
  TextLines lines;
  for (Py_ssize_t i = 0; i < PyList_GET_SIZE(ports.ptr()); ++i) {
    if (visit(PyList_GET_ITEM(ports.ptr(), i), lines) < 0) return {};
  }
  return lines.host();
}

}  // namespace bringup
