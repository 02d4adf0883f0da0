// Rules shared by the Trident-family port classes: gang leadership, the
// per-mode port counts, the polarity forms and the fiber preference.
#pragma once

#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include <pybind11/pybind11.h>

namespace asicmodel::trident {

namespace py = pybind11;

// The mode check of the port's class, asked through the object.
void check_mode_of(const py::object& self, const py::object& mode);

// A gang leader is the port whose first hardware interface number is
// divisible by 4: it alone stands for its gang of four.
bool is_gang_leader(const py::object& self);

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

// Single-lane ports: flipped only when the flag is the True object itself.
py::object flag_polarity_flip_val(py::object self, py::object mode, py::object sub,
                                  py::object polarity_flip);

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

// Copper ports ("10GBaseT", "1GBaseT") get no auto-negotiation setting.
bool on_copper(const py::object& self);

// The fiber preference of a port whose cage type names an SFP ("SFP"
// anywhere in `phy_layer`, case-sensitive).
py::object sfp_fiber_pref(py::object self);

// `max_logical_ports` of the single-lane and of the four-lane classes.
py::object one_logical_port(py::object self);
py::object four_logical_ports(py::object self);

bool mode_is(const py::object& mode, const std::vector<std::string>& texts);
bool mode_is(const py::object& mode, const char* text);

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

// Class tables from C++ literals: a tuple of texts, and a speed map (mode
// -> Gb/s, an int unless the speed has a fraction) in the order given.
py::tuple texts(std::initializer_list<const char*> items);
py::dict speed_map(std::initializer_list<std::pair<const char*, double>> entries);

}  // namespace asicmodel::trident
