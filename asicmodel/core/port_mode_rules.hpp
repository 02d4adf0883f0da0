// Mode rules the port families share: the mode check asked through the
// object, gang leadership, breakout and constant port counts, and the
// polarity of a single-lane port.
#pragma once

#include <pybind11/pybind11.h>

namespace asicmodel {

namespace py = pybind11;

// Runs the class's `_check_mode` through the object, so an override is seen
// (NoSuchMode for a mode the class does not offer).
void check_mode_of(const py::object& self, const py::object& mode);

// Python's %: floor modulo, as the host computes it for any int.
py::object floor_mod(py::handle a, long b);

// A gang leader is the port whose first `hw_ports` entry, less its
// two-letter prefix and read as decimal, is divisible by 4.
bool is_gang_leader(const py::object& self);

// Mode checked; an "NxS" breakout (second character "x") makes N logical
// ports, any other mode 1; a mode too short to index is an IndexError.
py::object breakout_logical_ports(py::object self, py::object mode);

// A constant count, for the read-only `max_logical_ports`.
template <int N>
py::object constant_count(py::object) {
  return py::int_(N);
}

// Mode checked; 1 exactly when the flip is the True object itself (an
// integer 1 or a mask gives 0).
py::object single_lane_polarity(py::object self, py::object mode, py::object sub,
                                py::object polarity_flip);

}  // namespace asicmodel
