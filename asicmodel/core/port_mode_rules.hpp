// Mode rules the port families share: the mode check asked through the
// object, gang leadership, breakout and constant port counts, and the
// polarity of a single-lane port.
#pragma once

#include <pybind11/pybind11.h>

namespace asicmodel {

namespace py = pybind11;

// Each returns a null object with the host's error set on failure.

// Runs the class's `_check_mode` through the object, so an override is seen
// (NoSuchMode for a mode the class does not offer).
py::object check_mode_of(py::handle self, py::handle mode);

// Python's %: floor modulo, as the host computes it for any int.
py::object floor_mod(py::handle a, long b);

// A gang leader is the port whose first `hw_ports` entry, less its
// two-letter prefix and read as decimal, is divisible by 4.
// 1 or 0, -1 with the error set.
int is_gang_leader(py::handle self);

// Mode checked; an "NxS" breakout (second character "x") makes N logical
// ports, any other mode 1; a mode too short to index is an IndexError.
py::object breakout_logical_ports(py::handle self, py::handle mode);

// A constant count, for the read-only `max_logical_ports`.
template <int N>
py::object constant_count(py::handle) {
  return py::int_(N);
}

// Mode checked; 1 exactly when the flip is the True object itself (an
// integer 1 or a mask gives 0).
py::object single_lane_polarity(py::handle self, py::handle mode, py::handle sub,
                                py::handle polarity_flip);

}  // namespace asicmodel
