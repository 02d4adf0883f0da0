// The class catalogue of bringup, registered in definition order.
#pragma once

#include <pybind11/pybind11.h>

namespace bringup {

namespace py = pybind11;

// Boardinfo, IPRoute2, Ifmaker.
void define_runners(py::module_& module);
// Config.
void define_config(py::module_& module);
// ConfiguredPort, SDKConfiguredPort, BCMConfiguredPort,
// SDKConfiguredMappedPort, BCMConfiguredMappedPort, BCMConfiguredDportPort.
void define_configured_ports(py::module_& module);
// SDKConfig, BCMConfig.
void define_config_generators(py::module_& module);

}  // namespace bringup
