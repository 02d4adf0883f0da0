// The first front-panel port of a switch with a given label: the search
// both the platform model (neighbour lookup) and the port configuration
// (`find_hw_port`) make over a switch's `ports`. Fabric ports never match.
// Names are the calling module's interned `label` and `is_fabric`.
#pragma once

#include <pybind11/pybind11.h>

#include "common/host_calls.hpp"

namespace common {

// The port, None when no front-panel port has the label, or a null object
// with the host's error set.
inline py::object front_panel_port(py::handle ports, py::handle label, PyObject* label_name,
                                   PyObject* is_fabric_name) {
  SW_LET(iterator, steal(PyObject_GetIter(ports.ptr())));
  while (PyObject* raw = PyIter_Next(iterator.ptr())) {
    py::object port = steal(raw);
    SW_LET(port_label, get(port, label_name));
    SW_LET(same_label, equal(port_label, label));
    if (!same_label) continue;
    SW_LET(fabric, get(port, is_fabric_name));
    SW_LET(is_fabric, truth(fabric));
    if (!is_fabric) return port;
  }
  if (PyErr_Occurred()) return {};
  return none();
}

}  // namespace common
