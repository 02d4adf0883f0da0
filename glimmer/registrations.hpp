// The class tree of the module, registered in definition order.
#pragma once

#include <pybind11/pybind11.h>

namespace glimmer {

namespace py = pybind11;

// LEDController and BCMLEDController with every constant and operation.
void define_led_controller_classes(py::module_& module);
// The eight family LED controllers, which set their chain size.
void define_family_led_controllers(py::module_& module);

}  // namespace glimmer
