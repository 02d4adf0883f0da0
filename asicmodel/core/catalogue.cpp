#include "asicmodel/core/catalogue.hpp"

#include "common/bitmap.hpp"

namespace asicmodel {

namespace {
PyObject* the_module = nullptr;
}

Catalogue::Catalogue(py::module_ module) : module_(std::move(module)) {
  the_module = module_.inc_ref().ptr();
  bitmaps_.helix4 = common::int_from_decimal_text("4324018592229097473");
  bitmaps_.trident_plus = common::int_from_decimal_text("36893488147419103233");
  bitmaps_.maverick = common::int_from_decimal_text("28334198897217871282177");
  bitmaps_.trident_two = common::int_from_decimal_text("40564819207303340847894502572033");
  bitmaps_.trident_three_x7 =
      common::int_from_decimal_text("5104235503814076952227320272582166446080");
  bitmaps_.tomahawk =
      common::int_from_decimal_text("43556142968415424523915982506858003824641");
}

ClassBuilder Catalogue::define(const char* name, const char* base, const char* doc) {
  py::tuple bases = base ? py::make_tuple(module_.attr(base)) : py::tuple();
  return ClassBuilder(module_, name, bases, doc);
}

ClassBuilder Catalogue::define_on(const char* name, py::handle host_base, const char* doc) {
  return ClassBuilder(module_, name, py::make_tuple(py::reinterpret_borrow<py::object>(host_base)),
                      doc);
}

py::handle this_module() { return the_module; }

}  // namespace asicmodel
