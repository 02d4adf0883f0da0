// Serdes lanes as the port families name and number them: hardware
// interface names made from serdes numbers, a port's own serdes interface
// map, and the numbering rules more than one family follows.
#pragma once

#include <pybind11/pybind11.h>

namespace asicmodel {

namespace py = pybind11;

// Each returns a null object with the host's error set on failure.

// The tuple of `format` (one "%u", e.g. "ce%u") applied to each serdes
// number in lane order; a non-number fails in the host's "%".
py::object serdes_lane_names(const char* format, py::handle serdes);

// Gives the object its own `_serdes_intf_map` {speed: serdes_type} in
// place of the class's.
py::object set_own_serdes_type(py::handle self, int speed, const char* serdes_type);

// The hardware port number is the number in the name of lane `sub`, in
// every mode.
py::object lane_hw_port_num(py::handle self, py::handle mode, py::handle sub);

// Interfaces are named "ce" in the 100G modes ("100G", "100G/4"), "xe"
// otherwise.
py::object ce_in_100g_intf_prefix(py::handle self, py::handle mode, py::handle sub);

// Logical ports are numbered from the configured port base.
py::object port_base_logical_port_num(py::handle self, py::handle mode, py::handle sub,
                                      py::handle port_base);

}  // namespace asicmodel
