// The boundary between host texts and the plain readers of core/: a host
// text seen as UTF-8 (lone surrogates kept), pieces of it turned back into
// host texts, numbers into host ints, and a reader's fault into the host's
// own error with the host's own wording.
#pragma once

#include <pybind11/pybind11.h>

#include <cstdint>
#include <string_view>

#include "fanoutprobe/core/parse_failure.hpp"

namespace fanoutprobe {

namespace py = pybind11;

// The UTF-8 of a host text; `owner` keeps the bytes alive. `what` names the
// value in the TypeError raised for anything that is not text.
struct TextView {
  py::object owner;
  std::string_view text;
};
bool view_text(py::handle value, const char* what, TextView& view);

py::object host_text(std::string_view utf8);
py::object host_int(std::int64_t value);

// Sets the host's error for `failure` and returns a null object.
py::object fail_with(const Failure& failure);

// A text as the host's int() reads it, in base 10 or 16; a value that is
// not a text goes to the host's int() itself.
py::object int_of_text(py::handle value, int base);

}  // namespace fanoutprobe
