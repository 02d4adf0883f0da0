#include "common/process_errors.hpp"

#include <cstring>

#include "common/host_calls.hpp"

namespace common {

py::object os_error_reason(int error_number) {
  return steal(PyUnicode_DecodeLocale(std::strerror(error_number), "surrogateescape"));
}

py::object host_file_name(const std::string& name) {
  return steal(PyUnicode_DecodeFSDefaultAndSize(name.data(), static_cast<Py_ssize_t>(name.size())));
}

py::object fail_os(const OsError& error, py::handle reason) {
  SW_LET(filename, host_file_name(error.filename()));
  return fail_os_error(error.error_number(), filename, {}, reason);
}

py::object fail_os_error(int error_number, py::handle filename, py::handle context,
                         py::handle reason) {
  // The host's OSError picks the subclass for the errno itself.
  SW_LET(number, integer(error_number));
  py::object text = reason ? borrow(reason.ptr()) : os_error_reason(error_number);
  if (!text) return {};
  SW_LET(error, call(reinterpret_cast<PyObject*>(PyExc_OSError), number, text, filename));
  PyObject* type = reinterpret_cast<PyObject*>(Py_TYPE(error.ptr()));
  if (context) {
    // Restored as it is, so the replaced failure stays its context (setting
    // it the usual way would put the caller's handled error there instead).
    Py_INCREF(context.ptr());
    PyException_SetContext(error.ptr(), context.ptr());
    Py_INCREF(type);
    PyErr_Restore(type, error.release().ptr(), nullptr);
    return {};
  }
  PyErr_SetObject(type, error.ptr());
  return {};
}

py::object fail_called_process_error(int status, py::handle command) {
  static PyObject* const module_name = PyUnicode_InternFromString("subprocess");
  static PyObject* const class_name = PyUnicode_InternFromString("CalledProcessError");
  if (!module_name || !class_name) return {};
  SW_LET(subprocess, steal(PyImport_Import(module_name)));
  SW_LET(type, get(subprocess, class_name));
  SW_LET(code, integer(status));
  SW_LET(error, call(type, code, command));
  return fail_object(type, error);
}

PendingError::~PendingError() {
  Py_XDECREF(type_);
  Py_XDECREF(value_);
  Py_XDECREF(traceback_);
}

void PendingError::take() {
  if (!PyErr_Occurred()) return;
  PyErr_Fetch(&type_, &value_, &traceback_);
  PyErr_NormalizeException(&type_, &value_, &traceback_);
  if (traceback_) PyException_SetTraceback(value_, traceback_);
}

void PendingError::restore() {
  if (!type_) return;
  PyErr_Restore(type_, value_, traceback_);
  type_ = value_ = traceback_ = nullptr;
}

py::object PendingError::value() { return borrow(value_); }

}  // namespace common
