// Port modes: the mode check, shorthand completion, speed, lanes, logical
// and physical port counts and MAC address needs of a front-panel port.
#pragma once

#include <pybind11/pybind11.h>

namespace asicmodel {

namespace py = pybind11;

void check_mode(py::object cls, py::object mode);                      // class method
py::object complete_mode(py::object config, py::object self, py::object mode);
py::object speed(py::object cls, py::object mode);                     // class method
py::object num_lanes(py::object cls, py::object mode);                 // class method
py::object num_logical_ports(py::object self, py::object mode);        // abstract
py::object max_logical_ports(py::object self);                         // abstract property
py::object num_physical_ports(py::object self, py::object mode);
py::object mac_addrs_contrib_total(py::object self, py::object config_map);
py::object port_mac_index(py::object self, py::object mode, py::object mac_index, py::object sub);

// Serdes lanes of one logical port at `speed` Gb/s: 40 and 100 take four,
// 50 two, 1, 10 and 25 one; anything else is "invalid speed: %d".
py::object lanes_for_speed(py::handle speed);

}  // namespace asicmodel
