// The fanoutprobe classes' bodies: ClassBuilder with every operation bound
// as a method descriptor (common/method_descriptor.hpp), so a call through
// an object (`obj.name(...)`, PyObject_VectorcallMethod) hands the object
// straight to the operation without making a bound-method object.
#pragma once

#include <pybind11/pybind11.h>

#include <initializer_list>

#include "common/class_builder.hpp"
#include "common/method_descriptor.hpp"

namespace fanoutprobe {

namespace py = pybind11;

class ClassBody {
 public:
  ClassBody(py::module_ module, const char* name, const char* doc)
      : builder_(std::move(module), name, py::tuple(), doc) {}

  ClassBody& attr(const char* name, py::object value) {
    builder_.attr(name, std::move(value));
    return *this;
  }
  template <typename... P>
  ClassBody& method(const char* name, py::object (*body)(P...),
                    std::initializer_list<common::Param> params, const char* doc = nullptr) {
    builder_.attr(name, common::fast_method(builder_.name(), name, body, params, doc));
    return *this;
  }
  template <typename... P>
  ClassBody& staticmethod(const char* name, py::object (*body)(P...),
                          std::initializer_list<common::Param> params) {
    builder_.staticmethod(name, body, params);
    return *this;
  }
  py::object build() { return builder_.build(); }

 private:
  common::ClassBuilder builder_;
};

}  // namespace fanoutprobe
