#include "asicmodel/core/port_constructor.hpp"

namespace asicmodel {

py::object default_value(Default value) {
  switch (value) {
    case Default::kFalse:
      return py::bool_(false);
    case Default::kZero:
      return py::int_(0);
    case Default::kNone:
      break;
  }
  return py::none();
}

void init_base(const char* base_class, py::object self, const py::dict& arguments) {
  this_module().attr(base_class).attr("__init__")(self, **arguments);
}

}  // namespace asicmodel
