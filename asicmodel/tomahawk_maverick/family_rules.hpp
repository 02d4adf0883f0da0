// Mode rules of the Tomahawk, Maverick and earlier-family speed classes:
// breakouts of a four-lane port, gangs of single-lane ports, and the
// per-sub-port polarity cut out of a port's flip value. The rules both
// port families share are in asicmodel/core. Each returns a null object
// with the host's error set on failure.
#pragma once

#include <pybind11/pybind11.h>

#include <span>

#include "common/host_calls.hpp"

namespace asicmodel::family {

namespace py = pybind11;

// Mode texts a rule names, in the order it tests them.
using ModeTexts = std::span<const char* const>;

// Whether `mode` equals (host ==) one of `texts`, tested in order: 1 or 0,
// -1 with the error set.
int mode_is_one_of(py::handle mode, ModeTexts texts);

// A constant answer, for the mode-free counts of the one-port classes.
template <int N>
py::object constant_count_of_mode(py::handle, py::handle) {
  return common::integer(N);
}

// Mode checked; one port in every mode the class offers.
py::object checked_one_port(py::handle self, py::handle mode);

// 1 when bit `sub` of the polarity value is set, else 0.
py::object lane_bit(py::handle polarity_flip_list, py::handle sub);

// Mode checked; with four logical ports the sub-port's own lane bit, with
// two its lane pair (two bits), otherwise the whole value. The count is
// asked through the object anew for each test.
py::object breakout_polarity(py::handle self, py::handle mode, py::handle sub,
                             py::handle polarity_flip_list);

// A single-lane port that can join a gang of four, by literal mode text:
// mode checked; each of `single` makes one port; in each of `ganged` the
// gang leader carries `leader_count` and the other members none; any other
// mode gets no answer (None), whatever `gang_modes` a subclass lists.
py::object gang_count(py::handle self, py::handle mode, ModeTexts single, ModeTexts ganged,
                      long leader_count);

}  // namespace asicmodel::family
