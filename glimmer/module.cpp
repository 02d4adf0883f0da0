// The glimmer module: the LED controller classes, top to bottom.
#include <pybind11/pybind11.h>

#include "common/module_init.hpp"
#include "glimmer/operations.hpp"
#include "glimmer/registrations.hpp"

SWITCH_MODULE(glimmer, module) {
  // An operation's documentation is its own text alone (None when it has
  // none), as for any method of the host; no generated signature line.
  pybind11::options documentation;
  documentation.disable_function_signatures();

  glimmer::define_routine_set(module);  // not bound: the type of set_functions
  glimmer::define_led_controller_classes(module);
  glimmer::define_family_led_controllers(module);
}
