// Class tables of the family port classes built from C++ literals (tuples
// of texts, speed maps), and the mode-text comparison their rules use.
#pragma once

#include <initializer_list>
#include <string_view>
#include <utility>

#include <pybind11/pybind11.h>

#include "common/host_calls.hpp"

namespace asicmodel {

namespace py = pybind11;

int mode_is_other(py::handle value, std::string_view text);

// `value == text` as the host compares them (a subclass's __eq__ is seen):
// 1 or 0, -1 with the error set. `text` is ASCII.
inline int mode_is(py::handle value, std::string_view text) {
  // The common case, an exact text, compares its characters in place (an
  // exact text that is not all ASCII cannot equal an ASCII one).
  std::string_view characters;
  if (common::exact_ascii(value, characters)) return characters == text;
  if (PyUnicode_CheckExact(value.ptr())) return 0;
  return mode_is_other(value, text);
}

// A fixed tuple of texts (`modes`, `gang_modes`, `file_list`), in order.
py::tuple texts(std::initializer_list<const char*> items);

// A `_speed_map`: mode text -> Gb/s in the order given, an int unless the
// speed has a fraction (2.5 stays a float).
py::dict speed_map(std::initializer_list<std::pair<const char*, double>> entries);

}  // namespace asicmodel
