// Builds real Python classes from C++.
//
// A class is made by calling the host's type(name, bases, namespace), so
// Python subclasses, attribute overrides and instance __dict__ state all
// behave as for a class written in Python. Operations are pybind11
// functions placed in the namespace with the binding the class asks for:
// plain methods (PyInstanceMethod_New, so the first parameter may carry any
// name), class methods (PyClassMethod_New) and read-only computed
// attributes (the builtin property).
#pragma once

#include <pybind11/pybind11.h>

#include <string>
#include <utility>

namespace common {

namespace py = pybind11;

class ClassBuilder {
 public:
  // `bases` is a tuple of base classes; an empty tuple gives a class whose
  // only base is the host's object type.
  ClassBuilder(py::module_ module, std::string name, py::tuple bases,
               const char* doc = nullptr);

  // A class attribute holding a plain Python value.
  ClassBuilder& attr(const char* name, py::object value);

  // A value stored earlier in this class body (so later attributes can be
  // computed from it). Raises KeyError when absent.
  py::object get(const char* name) const;

  // A plain method; declare every parameter, the receiving object first.
  template <typename Func, typename... Extra>
  ClassBuilder& method(const char* name, Func&& f, const Extra&... extra) {
    py::cpp_function fn(std::forward<Func>(f), py::name(function_name(name)),
                        extra...);
    store(name, py::reinterpret_steal<py::object>(PyInstanceMethod_New(fn.ptr())));
    return *this;
  }

  // A class method; the first parameter receives the class.
  template <typename Func, typename... Extra>
  ClassBuilder& classmethod(const char* name, Func&& f, const Extra&... extra) {
    py::cpp_function fn(std::forward<Func>(f), py::name(function_name(name)),
                        extra...);
    store(name, py::reinterpret_steal<py::object>(PyClassMethod_New(fn.ptr())));
    return *this;
  }

  // A read-only computed attribute; the function takes the object only.
  template <typename Func>
  ClassBuilder& property(const char* name, Func&& f) {
    py::cpp_function fn(std::forward<Func>(f), py::name(function_name(name)),
                        py::arg("self"));
    store(name, make_property(fn));
    return *this;
  }

  // Creates the class, binds it in the module under its name and returns it.
  py::object build();

  const std::string& name() const { return name_; }

 private:
  // pybind11 treats a function named "__init__" as its own constructor
  // protocol, so constructors carry an internal name.
  static const char* function_name(const char* name);
  static py::object make_property(const py::cpp_function& fn);
  void store(const char* name, py::object value);

  py::module_ module_;
  std::string name_;
  py::tuple bases_;
  py::dict namespace_;
};

}  // namespace common
