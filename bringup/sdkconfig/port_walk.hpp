// Walking the configured ports of a generator, one text line at a time:
// the loop every per-port and per-logical-port section shares.
#pragma once

#include <pybind11/pybind11.h>

#include "bringup/sdkconfig/generator.hpp"
#include "bringup/sdkconfig/text_lines.hpp"
#include "common/host_calls.hpp"

namespace bringup {

namespace py = pybind11;

// Visits every logical port of every configured port: visit(port, sub),
// -1 with the error set to stop. False with the error set when stopped.
template <typename Visit>
bool walk_logical_ports(py::handle self, Visit&& visit) {
  py::object ports = ports_of(self);
  if (!ports) return false;
  for (Py_ssize_t i = 0; i < PyList_GET_SIZE(ports.ptr()); ++i) {
    py::handle port = PyList_GET_ITEM(ports.ptr(), i);
    long count = 0;
    if (!logical_port_count(port, count)) return false;
    for (long sub = 0; sub < count; ++sub) {
      py::object sub_number = common::integer(sub);
      if (!sub_number || visit(port, sub_number) < 0) return false;
    }
  }
  return true;
}

// Walks every logical port of every configured port: visit(port, sub, lines).
template <typename Visit>
py::object each_logical_port(py::handle self, Visit&& visit) {
  TextLines lines;
  if (!walk_logical_ports(self, [&](py::handle port, py::handle sub) {
        return visit(port, sub, lines);
      })) {
    return {};
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
