// Module start-up for the four libraries: PyInit_<name> runs the body once;
// a failure reaches the importer as the error that caused it (pybind11's
// own macro would replace it by a generic import error), and the module
// object is dropped.
#pragma once

#include <pybind11/pybind11.h>

#define SWITCH_MODULE(name, variable)                                                   \
  static ::pybind11::module_::module_def switch_module_def_##name;                      \
  static void switch_module_body_##name(::pybind11::module_&);                          \
  extern "C" PYBIND11_EXPORT PyObject* PyInit_##name() {                                \
    PYBIND11_CHECK_PYTHON_VERSION                                                       \
    PYBIND11_ENSURE_INTERNALS_READY                                                     \
    try {                                                                               \
      auto module = ::pybind11::module_::create_extension_module(#name, nullptr,        \
                                                                &switch_module_def_##name); \
      switch_module_body_##name(module);                                                \
      return module.release().ptr();                                                    \
    } catch (::pybind11::error_already_set& error) {                                    \
      error.restore();                                                                  \
      return nullptr;                                                                   \
    } catch (const std::exception& error) {                                             \
      PyErr_Format(PyExc_ImportError, "init " #name ": %s", error.what());              \
      return nullptr;                                                                   \
    }                                                                                   \
  }                                                                                     \
  static void switch_module_body_##name(::pybind11::module_&(variable))
