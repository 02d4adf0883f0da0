// The class catalogue: the module being filled and the constants its class
// bodies share. Each topic file registers its classes through it, in the
// order the module file calls them.
#pragma once

#include <pybind11/pybind11.h>

#include "common/class_builder.hpp"

namespace asicmodel {

namespace py = pybind11;
using common::ClassBuilder;

// Port bitmaps too wide for a machine word, made once from their decimal
// text and shared by every class that names them.
struct SharedBitmaps {
  py::object helix4;         // bits 0, 49, 58-61
  py::object trident_plus;   // bits 0, 65
  py::object maverick;       // bits 0, 73, 74
  py::object trident_two;    // bits 0, 105
  py::object trident_three_x7;  // bits 64-67, 128-131
  py::object tomahawk;       // bits 0, 33, 67, 101, 135
};

class Catalogue {
 public:
  explicit Catalogue(py::module_ module);

  // Opens a class whose base is a class already bound in the module
  // (`base` nullptr: no base of its own).
  ClassBuilder define(const char* name, const char* base, const char* doc = nullptr);
  // Opens a class on one of the host's own types (the errors, Port).
  ClassBuilder define_on(const char* name, py::handle host_base, const char* doc = nullptr);

  // A name already bound in the module.
  py::object operator[](const char* name) const { return module_.attr(name); }

  py::module_& module() { return module_; }
  const SharedBitmaps& bitmaps() const { return bitmaps_; }

 private:
  py::module_ module_;
  SharedBitmaps bitmaps_;
};

// The module object, for operations that reach a class by name at call time
// (held from start-up on; the module is never unloaded).
py::handle this_module();

}  // namespace asicmodel
