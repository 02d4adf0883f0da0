// Text to Python int with the strict decimal rule of strict_int_core.hpp.
#pragma once

#include <pybind11/pybind11.h>

namespace common {

namespace py = pybind11;

// How a number beyond 64 bits is taken: refused, or read at any size as
// the host's int() reads it.
enum class IntRange { k64Bits, kAnySize };

// Raises ValueError in the host's words ("invalid literal for int() with
// base 10: ...") for anything that is not a decimal number, and
// ValueError naming the text when the number does not fit in 64 bits.
py::int_ int_from_text(py::handle text);

// The same without throwing (a null object with the error set on
// failure), with a number beyond 64 bits refused or read by `range`.
py::object int_of_text(py::handle text, IntRange range = IntRange::k64Bits);

}  // namespace common
