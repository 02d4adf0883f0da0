#include "common/host_errors.hpp"

namespace common {

void raise_error(PyObject* type, const std::string& message) {
  PyErr_SetString(type, message.c_str());
  throw py::error_already_set();
}

void raise_error_object(py::handle type, py::handle argument) {
  PyErr_SetObject(type.ptr(), argument.ptr());
  throw py::error_already_set();
}

void raise_not_implemented() {
  PyErr_SetNone(PyExc_NotImplementedError);
  throw py::error_already_set();
}

void raise_runtime(const std::string& message) { raise_error(PyExc_RuntimeError, message); }

void raise_key_error(py::handle key) {
  // A KeyError carries its key as the single argument, as a dict's does.
  py::tuple args = py::make_tuple(py::reinterpret_borrow<py::object>(key));
  raise_error_object(PyExc_KeyError, args);
}

void raise_type_error(const std::string& message) { raise_error(PyExc_TypeError, message); }

void raise_value_error(const std::string& message) { raise_error(PyExc_ValueError, message); }

py::str percent(const char* format, const py::object& args) {
  PyObject* result = PyUnicode_Format(py::str(format).ptr(), args.ptr());
  if (!result) throw py::error_already_set();
  return py::reinterpret_steal<py::str>(result);
}

}  // namespace common
