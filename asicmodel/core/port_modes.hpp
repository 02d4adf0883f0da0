// Port modes: the mode check, shorthand completion, speed, lanes, logical
// and physical port counts and MAC address needs of a front-panel port.
// Each returns a null object with the host's error set on failure.
#pragma once

#include <pybind11/pybind11.h>

namespace asicmodel {

namespace py = pybind11;

py::object check_mode(py::handle cls, py::handle mode);                  // class method
py::object complete_mode(py::handle config, py::handle self, py::handle mode);
py::object speed(py::handle cls, py::handle mode);                       // class method
py::object num_lanes(py::handle cls, py::handle mode);                   // class method
py::object num_logical_ports(py::handle self, py::handle mode);          // abstract
py::object max_logical_ports(py::handle self);                           // abstract property
py::object num_physical_ports(py::handle self, py::handle mode);
py::object mac_addrs_contrib_total(py::handle self, py::handle config_map);
py::object port_mac_index(py::handle self, py::handle mode, py::handle mac_index,
                          py::handle sub);

// Serdes lanes of one logical port at `speed` Gb/s: 40 and 100 take four,
// 50 two, 1, 10 and 25 one; anything else is "invalid speed: %d".
py::object lanes_for_speed(py::handle speed);

}  // namespace asicmodel
