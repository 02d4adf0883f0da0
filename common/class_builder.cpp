#include "common/class_builder.hpp"

#include <stdexcept>

namespace common {

ClassBuilder::ClassBuilder(py::module_ module, std::string name, py::tuple bases,
                           const char* doc)
    : module_(std::move(module)), name_(std::move(name)), bases_(std::move(bases)) {
  namespace_["__module__"] = module_.attr("__name__");
  namespace_["__qualname__"] = py::str(name_);
  namespace_["__doc__"] = doc ? py::object(py::str(doc)) : py::object(py::none());
}

ClassBuilder& ClassBuilder::attr(const char* name, py::object value) {
  store(name, std::move(value));
  return *this;
}

py::object ClassBuilder::get(const char* name) const {
  return namespace_[py::str(name)];
}

py::object ClassBuilder::make_property(const py::object& fn) {
  static const py::handle property = py::object(py::module_::import("builtins").attr("property")).release();
  return property(fn);
}

ClassBuilder& ClassBuilder::method_object(const char* name, const py::object& builtin) {
  if (!detail::is_fast_function(builtin)) {
    throw std::logic_error(std::string("method ") + qualified(name) + " is not a fast function");
  }
  store(name, builtin);
  return *this;
}

// Names this module on the operation a class value is or wraps (a class
// or static method's function, a property's getter).
void ClassBuilder::adopt(py::handle value) const {
  py::object function = py::reinterpret_borrow<py::object>(value);
  if (PyObject_TypeCheck(value.ptr(), &PyClassMethod_Type) ||
      PyObject_TypeCheck(value.ptr(), &PyStaticMethod_Type)) {
    function = value.attr("__func__");
  } else if (PyObject_TypeCheck(value.ptr(), &PyProperty_Type)) {
    function = value.attr("fget");
  }
  if (detail::is_fast_function(function)) {
    detail::set_module(function, py::object(namespace_["__module__"]));
  }
}

void ClassBuilder::store(const char* name, py::object value) {
  adopt(value);
  namespace_[py::str(name)] = std::move(value);
}

py::object ClassBuilder::build() {
  static const py::handle type = py::object(py::module_::import("builtins").attr("type")).release();
  py::object cls = type(py::str(name_), bases_, namespace_);
  module_.attr(name_.c_str()) = cls;
  return cls;
}

}  // namespace common
