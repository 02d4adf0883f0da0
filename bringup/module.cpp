// The bringup module: binds the host facilities and outside modules its
// operations look up by name at call time, then defines the twelve classes
// top to bottom. Reading the calls below in order gives the class tree.
#include <pybind11/pybind11.h>

#include "bringup/binding.hpp"
#include "bringup/registrations.hpp"
#include "common/module_init.hpp"

namespace py = pybind11;

namespace {

// The module of that name inside the tervane package when there is one,
// else the top-level module, as an import from inside the package finds it.
py::object import_from_package(const char* name) {
  const std::string inside = std::string("tervane.") + name;
  try {
    return py::module_::import(inside.c_str());
  } catch (py::error_already_set& error) {
    if (!error.matches(PyExc_ModuleNotFoundError)) throw;
    py::object missing = error.value().attr("name");
    if (missing.is_none() || missing.cast<std::string>() != inside) throw;
  }
  return py::module_::import(name);
}

}  // namespace

SWITCH_MODULE(bringup, module) {
  // An operation's documentation is its own text alone (None when it has
  // none), as for any method of the host; no generated signature line.
  py::options documentation;
  documentation.disable_function_signatures();
  bringup::names.intern();
  bringup::set_this_module(module);

  // The host's INI and in-memory text modules, for callers that reach them
  // through this module; ports.conf itself has a reader of its own.
  module.attr("ConfigParser") = py::module_::import("configparser");
  module.attr("StringIO") = py::module_::import("io");
  module.attr("sys") = py::module_::import("sys");
  module.attr("subprocess") = py::module_::import("subprocess");
  module.attr("syslog") = py::module_::import("syslog");
  module.attr("groupby") = py::module_::import("itertools").attr("groupby");
  module.attr("os") = py::module_::import("os");
  module.attr("shutil") = py::module_::import("shutil");
  module.attr("sfp") = import_from_package("sfp");
  module.attr("json") = py::module_::import("json");
  py::module_::import("tervane.conformer");
  module.attr("tervane") = py::module_::import("tervane");
  module.attr("UnsupportedPlatformError") =
      import_from_package("porttab").attr("UnsupportedPlatformError");
  // Test seam, off by default: a path here receives the knet link marks
  // that otherwise go to /proc/bcm/knet/link.
  module.attr("_knet_link_file") = py::none();

  bringup::define_runners(module);             // 1-3
  bringup::define_config(module);              // 4
  bringup::define_configured_ports(module);    // 5-10
  bringup::define_config_generators(module);   // 11-12
}
