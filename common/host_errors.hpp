// Raising the host's own error types from C++ code.
#pragma once

#include <pybind11/pybind11.h>

#include <string>

namespace common {

namespace py = pybind11;

// Each sets the Python error and throws, so pybind11 hands it to the host
// unchanged.
[[noreturn]] void raise_error(PyObject* type, const std::string& message);
[[noreturn]] void raise_error_object(py::handle type, py::handle argument);
[[noreturn]] void raise_not_implemented();  // NotImplementedError, no message
[[noreturn]] void raise_runtime(const std::string& message);
[[noreturn]] void raise_key_error(py::handle key);
[[noreturn]] void raise_type_error(const std::string& message);
[[noreturn]] void raise_value_error(const std::string& message);

// The host's "%" operator: format % args. Every text the host's "%" defines
// goes through here, never through C printf.
py::str percent(const char* format, const py::object& args);

template <typename... Args>
py::str percent_of(const char* format, Args&&... args) {
  return percent(format, py::make_tuple(std::forward<Args>(args)...));
}

}  // namespace common
