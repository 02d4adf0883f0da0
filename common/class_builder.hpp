// Builds real Python classes from C++.
//
// A class is made by calling the host's type(name, bases, namespace), so
// Python subclasses, attribute overrides and instance __dict__ state all
// behave as for a class written in Python. Operations are fast builtins
// (fast_function.hpp) placed in the namespace with the binding the class
// asks for: plain methods (the function itself, which binds as a method
// without a bound-method object at each call), class methods
// (PyClassMethod_New), static methods (PyStaticMethod_New) and read-only
// computed attributes (the builtin property). Each names the builder's
// module as its own.
#pragma once

#include <pybind11/pybind11.h>

#include <initializer_list>
#include <string>
#include <utility>

#include "common/fast_function.hpp"

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

  // Operations as fast builtins (see fast_function.hpp): `params` declares
  // every parameter with its name and default, the receiving object (or
  // class) first. Messages name the operation "Class.name".
  template <typename... P>
  ClassBuilder& method(const char* name, py::object (*body)(P...),
                       std::initializer_list<Param> params, const char* doc = nullptr) {
    store(name, fast_function(name, qualified(name), doc, body, params));
    return *this;
  }
  template <typename... P>
  ClassBuilder& classmethod(const char* name, py::object (*body)(P...),
                            std::initializer_list<Param> params, const char* doc = nullptr) {
    py::object fn = fast_function(name, qualified(name), doc, body, params);
    store(name, py::reinterpret_steal<py::object>(PyClassMethod_New(fn.ptr())));
    return *this;
  }
  template <typename... P>
  ClassBuilder& staticmethod(const char* name, py::object (*body)(P...),
                             std::initializer_list<Param> params, const char* doc = nullptr) {
    py::object fn = fast_function(name, qualified(name), doc, body, params);
    store(name, py::reinterpret_steal<py::object>(PyStaticMethod_New(fn.ptr())));
    return *this;
  }
  // A method from a fast builtin made elsewhere.
  ClassBuilder& method_object(const char* name, const py::object& builtin);
  ClassBuilder& property(const char* name, py::object (*body)(py::handle)) {
    store(name, make_property(fast_function(name, qualified(name), nullptr, body, {"self"})));
    return *this;
  }
  // The same with the attribute's documentation text.
  ClassBuilder& property(const char* name, py::object (*body)(py::handle), const char* doc) {
    store(name, make_property(fast_function(name, qualified(name), doc, body, {"self"})));
    return *this;
  }
  ClassBuilder& property(const char* name, py::object (*body)(py::object)) {
    store(name, make_property(fast_function(name, qualified(name), nullptr, body, {"self"})));
    return *this;
  }

  // Creates the class, binds it in the module under its name and returns it.
  py::object build();

  const std::string& name() const { return name_; }

 private:
  static py::object make_property(const py::object& fn);
  std::string qualified(const char* name) const { return name_ + "." + name; }
  void store(const char* name, py::object value);
  void adopt(py::handle value) const;

  py::module_ module_;
  std::string name_;
  py::tuple bases_;
  py::dict namespace_;
};

}  // namespace common
