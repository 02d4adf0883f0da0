// Operations as the host's own fast builtins.
//
// `fast_function` makes a function object called with the host's
// vectorcall protocol, flagged as a method descriptor so that, placed in a
// class, a call through an instance needs no bound-method object (read
// from an instance it binds as a method, from the class it is itself, so
// the first parameter may carry any name). It matches the
// positional and keyword arguments against the declared parameter names
// and defaults the way a Python function does, with the host's own
// TypeError texts ("C.f() missing 1 required positional argument: 'mode'"),
// then calls the C++ body with one handle per parameter. No per-call
// dispatcher, no argument tuple or dict is built. To tools it looks like
// a Python function: `inspect.signature` gives the declared parameters,
// `__module__` the defining module (set by the class builder).
//
// A body takes `py::handle` or `py::object` parameters and returns a
// `py::object`; a null object means the host's error is set (see
// host_calls.hpp). A body may still throw pybind11's error types on rare
// paths; they are turned into the host's error at the boundary.
#pragma once

#include <pybind11/pybind11.h>

#include <cstddef>
#include <initializer_list>
#include <stdexcept>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

namespace common {

namespace py = pybind11;

// A declared parameter: its name and, when it has one, its default.
struct Param {
  Param(const char* parameter_name) : name(parameter_name) {}  // NOLINT: a bare name reads best
  Param(const char* parameter_name, py::object default_value)
      : name(parameter_name), value(std::move(default_value)) {}
  const char* name;
  py::object value;  // null: required
};

namespace detail {

using AnyBody = void (*)();
using Invoker = PyObject* (*)(AnyBody body, void* data, PyObject* const* args);

template <typename P>
P argument_as(PyObject* value) {
  using Plain = std::remove_cv_t<std::remove_reference_t<P>>;
  static_assert(std::is_same_v<Plain, py::handle> || std::is_same_v<Plain, py::object>,
                "operation parameters are py::handle or py::object");
  if constexpr (std::is_same_v<Plain, py::handle>) {
    return py::handle(value);
  } else {
    return py::reinterpret_borrow<py::object>(value);
  }
}

template <typename... P, std::size_t... I>
PyObject* invoke_body(AnyBody body, PyObject* const* args, std::index_sequence<I...>) {
  auto typed = reinterpret_cast<py::object (*)(P...)>(body);
  return typed(argument_as<P>(args[I])...).release().ptr();
}

template <typename... P>
PyObject* invoke(AnyBody body, void*, PyObject* const* args) {
  return invoke_body<P...>(body, args, std::index_sequence_for<P...>());
}

PyObject* invoke_array(AnyBody body, void* data, PyObject* const* args);

// Calls a function made here with every argument by position, as the
// host's call would, without the host's generic call machinery.
PyObject* fast_function_call(PyObject* self, PyObject* const* args, Py_ssize_t nargs);

// The type of the functions made here (null with the error set if it
// could not be made).
PyTypeObject* fast_function_type();

// Whether `value` is a function made here (it binds to instances itself).
bool is_fast_function(py::handle value);

// Names the module that defines a function made here (its `__module__`).
void set_module(py::handle function, py::handle module_name);

py::object make_fast_function(const char* name, std::string qualname, const char* doc,
                              const std::vector<Param>& params, Invoker invoker,
                              AnyBody body, void* data, std::size_t arity);

}  // namespace detail

// A builtin function `name` (its messages say `qualname`) running `body`.
template <typename... P>
py::object fast_function(const char* name, std::string qualname, const char* doc,
                         py::object (*body)(P...), std::initializer_list<Param> params) {
  return detail::make_fast_function(name, std::move(qualname), doc, params,
                                    &detail::invoke<P...>,
                                    reinterpret_cast<detail::AnyBody>(body), nullptr,
                                    sizeof...(P));
}

// The same as an operation of `class_name`: its messages name it
// "class_name.name".
template <typename... P>
py::object fast_method(const std::string& class_name, const char* name,
                       py::object (*body)(P...), std::initializer_list<Param> params,
                       const char* doc = nullptr) {
  return fast_function(name, class_name + "." + name, doc, body, params);
}

// A body that takes every argument as one array, in declaration order,
// with `data` (owned by the caller, living as long as the function): for
// long parameter lists such as constructors.
using ArrayBody = py::object (*)(void* data, PyObject* const* args);
py::object fast_function_array(const char* name, std::string qualname, const char* doc,
                               ArrayBody body, void* data, const std::vector<Param>& params);

}  // namespace common
