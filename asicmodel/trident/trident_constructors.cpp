#include "asicmodel/trident/trident_constructors.hpp"

namespace asicmodel::trident {

py::object default_object(Default value) {
  switch (value) {
    case Default::kFalse:
      return py::bool_(false);
    case Default::kZero:
      return py::int_(0);
    case Default::kNone:
    case Default::kRequired:
      break;
  }
  return py::none();
}

void chain_constructor(const char* base_class, py::object self, const py::dict& arguments) {
  this_module().attr(base_class).attr("__init__")(self, **arguments);
}

}  // namespace asicmodel::trident
