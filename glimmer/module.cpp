// The glimmer module: the LED controller classes, top to bottom.
#include <pybind11/pybind11.h>

#include "common/module_init.hpp"
#include "glimmer/names.hpp"
#include "glimmer/operations.hpp"
#include "glimmer/registrations.hpp"

namespace glimmer {

namespace {

// Kept from start-up; modules are never unloaded.
py::handle the_module;

}  // namespace

py::handle this_module() { return the_module; }

}  // namespace glimmer

SWITCH_MODULE(glimmer, module) {
  glimmer::names.intern();
  glimmer::the_module = module.ptr();
  glimmer::define_routine_set(module);  // the type of set_functions
  glimmer::define_led_controller_classes(module);
  glimmer::define_family_led_controllers(module);
}
