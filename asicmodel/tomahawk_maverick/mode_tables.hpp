// Building the class tables of the speed port classes: speed maps and
// fixed lists of mode texts, each a new Python object for its class.
#pragma once

#include <initializer_list>

#include <pybind11/pybind11.h>

namespace asicmodel::family {

namespace py = pybind11;

struct ModeSpeed {
  const char* mode;
  int gigabits;
};

// A `_speed_map`: mode text to speed in Gb/s, in the order given.
py::dict speed_map(std::initializer_list<ModeSpeed> entries);

// The `modes` of a class whose modes are its speed map's keys: those keys,
// the map's own text objects, as a list in the map's order.
py::list keys_of(const py::dict& speeds);

// A fixed list of texts (`modes`, `gang_modes`, `file_list`).
py::tuple texts(std::initializer_list<const char*> items);

// `first` followed by `second`, as a tuple.
py::tuple joined(const py::tuple& first, const py::tuple& second);

}  // namespace asicmodel::family
