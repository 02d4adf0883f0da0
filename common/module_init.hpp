// Module start-up for the four libraries: PyInit_<name> runs the body once.
// A failure reaches the importer as the error that caused it (pybind11's
// own macro would replace it by a generic import error), with the trace
// entry "init <name>" added, and the module object is dropped.
#pragma once

#include <pybind11/pybind11.h>

#include "common/fast_function.hpp"
#include "common/lookup_cache.h"

#include <exception>
#include <new>

namespace common {

using ModuleBody = void (*)(::pybind11::module_&);

// `entry` is "init <name>": the trace entry of a failed start-up, and the
// whole text of the import error when no module could be created and no
// error says why.
inline PyObject* start_module(const char* name, const char* entry, const char* file, int line,
                              ::pybind11::module_::module_def* definition, ModuleBody body) {
  namespace py = ::pybind11;
  py::module_ module;
  try {
    module = py::module_::create_extension_module(name, nullptr, definition);
  } catch (py::error_already_set& error) {
    error.restore();
    _PyTraceback_Add(entry, file, line);
    return nullptr;
  } catch (const std::exception&) {
    PyErr_SetString(PyExc_ImportError, entry);
    return nullptr;
  }
  try {
    PyTypeObject* functions = detail::fast_function_type();
    if (!functions || lookup_cache_start(functions, &detail::fast_function_call) < 0) throw py::error_already_set();
    body(module);
    return module.release().ptr();
  } catch (py::error_already_set& error) {
    error.restore();
  } catch (const py::builtin_exception& error) {
    error.set_error();
  } catch (const std::bad_alloc&) {
    PyErr_NoMemory();
  } catch (const std::exception& error) {
    PyErr_Format(PyExc_ImportError, "%s: %s", entry, error.what());
  }
  _PyTraceback_Add(entry, file, line);
  return nullptr;
}

}  // namespace common

#define SWITCH_MODULE(name, variable)                                                   \
  static ::pybind11::module_::module_def switch_module_def_##name;                      \
  static void switch_module_body_##name(::pybind11::module_&);                          \
  extern "C" PYBIND11_EXPORT PyObject* PyInit_##name() {                                \
    PYBIND11_CHECK_PYTHON_VERSION                                                       \
    PYBIND11_ENSURE_INTERNALS_READY                                                     \
    return ::common::start_module(#name, "init " #name, __FILE__, __LINE__,             \
                                  &switch_module_def_##name, &switch_module_body_##name); \
  }                                                                                     \
  static void switch_module_body_##name(::pybind11::module_&(variable))
