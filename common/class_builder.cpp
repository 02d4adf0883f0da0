#include "common/class_builder.hpp"


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

void ClassBuilder::store(const char* name, py::object value) {
  namespace_[py::str(name)] = std::move(value);
}

py::object ClassBuilder::build() {
  static const py::handle type = py::object(py::module_::import("builtins").attr("type")).release();
  py::object cls = type(py::str(name_), bases_, namespace_);
  module_.attr(name_.c_str()) = cls;
  return cls;
}

}  // namespace common
