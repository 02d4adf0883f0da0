// One registration function per topic; module.cpp calls them in the order
// the classes are defined.
#pragma once

#include <pybind11/pybind11.h>

namespace fanoutprobe {

void define_kernel_records(pybind11::module_& module);    // KernMdbEntry .. KernDevEntry
void define_hardware_records(pybind11::module_& module);  // PortmapEntry .. Hmroute
void define_asic(pybind11::module_& module);              // Asic

}  // namespace fanoutprobe
