// Mode rules of the Tomahawk, Maverick and earlier-family speed classes:
// breakouts of a four-lane port, gangs of single-lane ports, the
// per-sub-port polarity cut out of a port's flip value, and the floor
// division the Tomahawk2 numbering needs. The rules both families share
// are in asicmodel/core.
#pragma once

#include <pybind11/pybind11.h>

namespace asicmodel::family {

namespace py = pybind11;

// Python's //: floor division.
py::object floor_div(py::handle a, long b);

// A constant answer, for the mode-free counts of the one-port classes.
template <int N>
py::object constant_count_of_mode(py::object, py::object) {
  return py::int_(N);
}

// Mode checked; one port in every mode the class offers.
py::object checked_one_port(py::object self, py::object mode);

// Mode checked; with four logical ports the sub-port's own lane bit, with
// two its lane pair (two bits), otherwise the whole value.
py::object breakout_polarity(py::object self, py::object mode, py::object sub,
                             py::object polarity_flip_list);

// Mode checked; in a gang mode (one of the class's `gang_modes`) the gang
// leader carries 1 logical port over 4 physical ones and the other members
// none; any other mode is one port.
py::object gang_logical_ports(py::object self, py::object mode);
py::object gang_physical_ports(py::object self, py::object mode);

}  // namespace asicmodel::family
