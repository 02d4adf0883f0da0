// The operations of Config, in the two topics that share the class: the
// port layout (config_object.cpp) and MAC addresses and kernel network
// devices (kernel_devices.cpp). config_class.cpp binds them in order.
#pragma once

#include <pybind11/pybind11.h>

namespace bringup {

namespace py = pybind11;

py::object config_init(py::handle self, py::handle platform, py::handle verbose,
                       py::handle exploded, py::handle dummy);
py::object config(py::handle self, py::handle config_text);
py::object complete_modes(py::handle self, py::handle config_map);
py::object find_hw_port(py::handle self, py::handle label);
py::object read_config(py::handle self, py::handle configfile);
py::object init_config(py::handle self);
py::object write_config(py::handle self, py::handle configfile);

py::object set_macmode(py::handle self, py::handle mode);
py::object makemacaddr(py::handle self, py::handle inmac, py::handle index);
py::object destroyints(py::handle self, py::handle interface_set);
py::object setmac(py::handle self, py::handle portname, py::handle index);
py::object maketap(py::handle self, py::handle portname, py::handle index,
                   py::handle interface_set);
py::object makekernnet(py::handle self, py::handle portname, py::handle index, py::handle unit,
                       py::handle interface_set);

}  // namespace bringup
