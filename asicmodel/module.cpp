// The asicmodel module: imports what the operations use, then defines the
// whole class catalogue top to bottom. Reading the calls below in order
// gives the class tree as the module binds it.
#include <pybind11/pybind11.h>

#include "asicmodel/core/names.hpp"
#include "asicmodel/core/registrations.hpp"
#include "common/module_init.hpp"

namespace py = pybind11;

SWITCH_MODULE(asicmodel, module) {
  // An operation's documentation is its own text alone (None when it has
  // none), as for any method of the host; no generated signature line.
  py::options documentation;
  documentation.disable_function_signatures();

  module.attr("os") = py::module_::import("os");
  py::module_::import("tervane.platforms");
  module.attr("tervane") = py::module_::import("tervane");

  asicmodel::names.intern();
  asicmodel::Catalogue catalogue(module);
  asicmodel::define_platform_and_switch(catalogue);           // 1-6
  asicmodel::define_port_record(catalogue);                   // 7-9
  asicmodel::define_tomahawk_maverick_port_bases(catalogue);  // 10-12
  asicmodel::define_trident_port_bases(catalogue);            // 13-16
  asicmodel::define_earlier_family_ports(catalogue);          // 17-30
  asicmodel::define_trident_speed_ports(catalogue);           // 31-37
  asicmodel::define_trident_three_speed_ports(catalogue);     // 38-41
  asicmodel::define_tomahawk_speed_ports(catalogue);          // 42-46
  asicmodel::define_maverick_speed_ports(catalogue);          // 47-51
  asicmodel::define_chip_base(catalogue);                     // 52-53
  asicmodel::define_trident_chips(catalogue);                 // 54-66
  asicmodel::define_tomahawk_maverick_chips(catalogue);       // 67-79

  module.attr("__test__") = py::dict();
}
