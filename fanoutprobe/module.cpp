// The fanoutprobe module: the outside modules it uses, then the record
// classes and Asic, top to bottom in the order they are defined.
#include <pybind11/pybind11.h>

#include "common/module_init.hpp"
#include "fanoutprobe/asic_tables/registrations.hpp"
#include "fanoutprobe/names.hpp"

namespace py = pybind11;

SWITCH_MODULE(fanoutprobe, module) {
  // An operation's documentation is its own text alone (None when it has
  // none), as for any method of the host; no generated signature line.
  py::options documentation;
  documentation.disable_function_signatures();

  fanoutprobe::names.intern();
  fanoutprobe::module_handle() = module.inc_ref();  // modules are never unloaded

  module.attr("sys") = py::module_::import("sys");
  module.attr("json") = py::module_::import("json");
  py::module_::import("tervane.porttab");
  py::module_::import("tervane.fanoutlib");
  module.attr("tervane") = py::module_::import("tervane");
  // The shell module is optional: without it the library loads and only
  // building an Asic fails. Only ordinary errors are absorbed.
  PyObject* shell = PyImport_ImportModule("bcmshell");
  if (!shell) {
    if (!PyErr_ExceptionMatches(PyExc_Exception)) throw py::error_already_set();
    PyErr_Clear();
    shell = Py_NewRef(Py_None);
  }
  module.attr("bcmshell") = py::reinterpret_steal<py::object>(shell);

  // Private test seam, off (None) by default: when set, the kernel readers
  // take command output and kernel files from it instead of the system
  // (see kernel_compare/kernel_access.hpp for what it must answer).
  module.attr("_kernel_seam") = py::none();

  fanoutprobe::define_kernel_records(module);
  fanoutprobe::define_hardware_records(module);
  fanoutprobe::define_asic(module);

  module.attr("__test__") = py::dict();
}
