// Mode rules shared by the Tomahawk, Maverick and earlier-family speed
// classes: breakouts of a four-lane port, gangs of single-lane ports, the
// per-sub-port polarity cut out of a port's flip value, and the small
// integer arithmetic those rules need on Python ints.
#pragma once

#include <pybind11/pybind11.h>

namespace asicmodel::family {

namespace py = pybind11;

// `value == text` as the host compares them.
bool is_mode(py::handle value, const char* text);

// Python's // and %: floor division and floor modulo.
py::object floor_div(py::handle a, long b);
py::object floor_mod(py::handle a, long b);

// Runs the class-level mode check through the object (NoSuchMode for a
// mode the class does not offer).
void check_mode(py::object self, py::object mode);

// The lane number of the port's first hardware interface name.
py::object first_lane(py::object self);

// A gang leads when the number of its first lane is a multiple of 4.
bool leads_gang(py::object self);

// A constant answer, for the read-only `max_logical_ports` and for the
// mode-free counts of the one-port classes.
template <int N>
py::object constant_count(py::object) {
  return py::int_(N);
}
template <int N>
py::object constant_count_of_mode(py::object, py::object) {
  return py::int_(N);
}

// Mode checked; one port in every mode the class offers.
py::object checked_one_port(py::object self, py::object mode);

// Mode checked; an "NxS" breakout makes N logical ports, any other mode 1.
py::object breakout_logical_ports(py::object self, py::object mode);

// Mode checked; with four logical ports the sub-port's own lane bit, with
// two its lane pair (two bits), otherwise the whole value.
py::object breakout_polarity(py::object self, py::object mode, py::object sub,
                             py::object polarity_flip_list);

// Mode checked; in a gang mode (one of the class's `gang_modes`) the gang
// leader carries 1 logical port over 4 physical ones and the other members
// none; any other mode is one port.
py::object gang_logical_ports(py::object self, py::object mode);
py::object gang_physical_ports(py::object self, py::object mode);

// Mode checked; 1 exactly when the flip is the True object itself (an
// integer 1 or a mask gives 0).
py::object single_lane_polarity(py::object self, py::object mode, py::object sub,
                                py::object polarity_flip);

}  // namespace asicmodel::family
