// Rules of the Trident-family port classes: the per-mode port counts, the
// polarity forms of the four-lane ports and the per-class operations bound
// from their tables. The rules both families share are in asicmodel/core.
//
// Every rule here compares the mode with the literal mode texts of its
// class, never with a class attribute such as `gang_modes`: a subclass
// that overrides a table changes what the mode check accepts, not what a
// listed mode counts.
#pragma once

#include <array>
#include <cstddef>
#include <initializer_list>

#include <pybind11/pybind11.h>

namespace asicmodel::trident {

namespace py = pybind11;

// A short list of mode texts, compared with the host's == in list order.
// The host strings are made on first use and kept for the life of the
// process (interned, so a mode written as a literal in Python usually is
// the very same object).
class ModeTexts {
 public:
  static constexpr std::size_t kCapacity = 4;

  constexpr ModeTexts() = default;
  constexpr ModeTexts(std::initializer_list<const char*> texts) {
    for (const char* text : texts) texts_[size_++] = text;  // at most kCapacity
  }

  // 1 when `mode` equals one of the texts, 0 when none, -1 with the host's
  // error set.
  int matches(py::handle mode) const;

 private:
  std::array<const char*, kCapacity> texts_{};
  mutable std::array<PyObject*, kCapacity> objects_{};
  std::size_t size_ = 0;
};

// What each listed mode of a class yields. A whole mode is one port; a
// breakout mode four logical ports on four lanes; a gang mode one logical
// port on the leader occupying four physical ports, none on the members.
enum class OtherModes { kNone, kZero };
struct ModeCounts {
  ModeTexts whole;
  ModeTexts breakout;
  ModeTexts gang;
  OtherModes other = OtherModes::kNone;  // a listed mode in none of the lists
};

py::object logical_ports_by_mode(py::handle self, py::handle mode, const ModeCounts& counts);
py::object physical_ports_by_mode(py::handle self, py::handle mode, const ModeCounts& counts);

// Four-lane ports with a lane mask: a breakout port answers its own lane's
// bit, the whole port the mask unchanged, any other mode None.
py::object lane_mask_polarity(py::handle self, py::handle mode, py::handle sub, py::handle mask,
                              const ModeCounts& counts);

// 1 when bit `sub` of `mask` is set, else 0 (an int either way).
py::object lane_bit(py::handle mask, py::handle sub);

// A polarity rule that reads single lanes needs the lane mask (or the
// per-lane list, `form` names which); None is refused with a TypeError
// naming the port's mode, rather than failing inside the lane test.
// 0, or -1 with the error set.
int require_lane_polarity(py::handle self, py::handle mode, py::handle polarity,
                          const char* form);

// The count and polarity operations of a class, bound from its table.
template <const ModeCounts& Counts>
py::object num_logical_ports_by(py::handle self, py::handle mode) {
  return logical_ports_by_mode(self, mode, Counts);
}

template <const ModeCounts& Counts>
py::object num_physical_ports_by(py::handle self, py::handle mode) {
  return physical_ports_by_mode(self, mode, Counts);
}

template <const ModeCounts& Counts>
py::object lane_mask_polarity_flip_val(py::handle self, py::handle mode, py::handle sub,
                                       py::handle polarity_flip_list) {
  return lane_mask_polarity(self, mode, sub, polarity_flip_list, Counts);
}

}  // namespace asicmodel::trident
