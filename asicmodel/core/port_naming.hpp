// Hardware interface naming and numbering of a front-panel port: prefix,
// interface number, interface name, port-bitmap position and bit, LED and
// logical port numbers, each for one mode and sub-port.
#pragma once

#include <pybind11/pybind11.h>

namespace asicmodel {

namespace py = pybind11;

py::object hw_intf_prefix(py::handle self, py::handle mode, py::handle sub);
py::object hw_intf_num(py::handle self, py::handle mode, py::handle sub);
py::object hw_intf_num_portmap(py::handle self, py::handle mode, py::handle sub);
py::object base_hw_intf_num(py::handle self, py::handle mode, py::handle sub);
py::object hw_intf(py::handle self, py::handle mode, py::handle sub);
py::object hw_pbmp(py::handle self, py::handle mode, py::handle sub);
py::object hw_port_num(py::handle self, py::handle mode, py::handle sub);
py::object led_port_num(py::handle self, py::handle mode, py::handle sub);
py::object logical_port_num(py::handle self, py::handle mode, py::handle sub);  // abstract

// The number part of a hardware interface name ("hg12" -> 12), read as a
// strict decimal number from the third character on.
py::object interface_number(py::handle name);

// A `pbmp_map` built from interface names: each name numbered from 1 in
// list order.
py::dict numbered_pbmp_map(const py::list& names);
// The names "<prefix>0" to "<prefix><count - 1>", numbered 1 to count.
py::dict prefixed_pbmp_map(const char* prefix, int count);

}  // namespace asicmodel
