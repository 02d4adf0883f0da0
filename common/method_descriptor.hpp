// Methods the host calls without making a bound method.
//
// A builtin function placed in a class body needs a wrapper to become a
// method. The host's instancemethod wrapper makes a new bound-method object
// at every call through an instance; the wrapper here is flagged as a
// method descriptor, as the host's own functions are, so a call through an
// instance (`obj.name(...)` in Python, PyObject_VectorcallMethod in C)
// passes the object as the first argument straight to the function.
// Everything else is as with instancemethod: read from the class it gives
// the function itself, read from an instance a bound method, and any other
// attribute (`__doc__`, `__name__`) is the function's.
#pragma once

#include <pybind11/pybind11.h>

#include <initializer_list>
#include <string>

#include "common/fast_function.hpp"

namespace common {

namespace py = pybind11;

// The method wrapper of `function` (a callable taking the object first).
py::object method_descriptor(const py::object& function);

// A fast builtin (see fast_function.hpp) as such a method of `class_name`:
// its messages name it "class_name.name".
template <typename... P>
py::object fast_method(const std::string& class_name, const char* name,
                       py::object (*body)(P...), std::initializer_list<Param> params,
                       const char* doc = nullptr) {
  return method_descriptor(fast_function(name, class_name + "." + name, doc, body, params));
}

}  // namespace common
