// Rules of the Trident-family port classes: the per-mode port counts, the
// polarity forms of the four-lane ports and the per-class operations bound
// from their tables. The rules both families share are in asicmodel/core.
#pragma once

#include <string>
#include <vector>

#include <pybind11/pybind11.h>

#include "asicmodel/core/family_tables.hpp"

namespace asicmodel::trident {

namespace py = pybind11;

using asicmodel::mode_is;

// What each listed mode of a class yields. A whole mode is one port; a
// breakout mode four logical ports on four lanes; a gang mode one logical
// port on the leader occupying four physical ports, none on the members.
enum class OtherModes { kNone, kZero };
struct ModeCounts {
  std::vector<std::string> whole;
  std::vector<std::string> breakout;
  std::vector<std::string> gang;
  OtherModes other = OtherModes::kNone;  // a listed mode in none of the lists
};

py::object logical_ports_by_mode(const py::object& self, const py::object& mode,
                                 const ModeCounts& counts);
py::object physical_ports_by_mode(const py::object& self, const py::object& mode,
                                  const ModeCounts& counts);

// Four-lane ports with a lane mask: a breakout port answers its own lane's
// bit, the whole port the mask unchanged, any other mode None.
py::object lane_mask_polarity(const py::object& self, const py::object& mode,
                              const py::object& sub, const py::object& mask,
                              const ModeCounts& counts);

// A polarity rule that reads single lanes needs the lane mask (or the
// per-lane list, `form` names which); None is refused with a TypeError
// naming the port's mode, rather than failing inside the lane test.
void require_lane_polarity(const py::object& self, const py::object& mode,
                           const py::object& polarity, const char* form);

// `mode` equals one of `texts`.
bool mode_is(const py::object& mode, const std::vector<std::string>& texts);

// The count and polarity operations of a class, bound from its table.
template <const ModeCounts& Counts>
py::object num_logical_ports_by(py::object self, py::object mode) {
  return logical_ports_by_mode(self, mode, Counts);
}

template <const ModeCounts& Counts>
py::object num_physical_ports_by(py::object self, py::object mode) {
  return physical_ports_by_mode(self, mode, Counts);
}

template <const ModeCounts& Counts>
py::object lane_mask_polarity_flip_val(py::object self, py::object mode, py::object sub,
                                       py::object polarity_flip_list) {
  return lane_mask_polarity(self, mode, sub, polarity_flip_list, Counts);
}

}  // namespace asicmodel::trident
