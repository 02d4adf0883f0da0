#include "asicmodel/tomahawk_maverick/family_rules.hpp"

#include "asicmodel/core/family_tables.hpp"
#include "asicmodel/core/names.hpp"
#include "asicmodel/core/port_mode_rules.hpp"
#include "common/bitmap.hpp"

namespace asicmodel::family {

int mode_is_one_of(py::handle mode, ModeTexts texts) {
  for (const char* text : texts) {
    int same = mode_is(mode, text);
    if (same != 0) return same;
  }
  return 0;
}

py::object checked_one_port(py::handle self, py::handle mode) {
  SW_CHECK(check_mode_of(self, mode));
  return common::integer(1);
}

py::object lane_bit(py::handle polarity_flip_list, py::handle sub) {
  SW_LET(bit, common::bit_at(sub));
  SW_LET(masked, common::steal(PyNumber_And(polarity_flip_list.ptr(), bit.ptr())));
  SW_LET(set, common::truth(masked));
  return common::integer(set ? 1 : 0);
}

py::object breakout_polarity(py::handle self, py::handle mode, py::handle sub,
                             py::handle polarity_flip_list) {
  static const py::handle two = common::forever(py::int_(2)),
                          three = common::forever(py::int_(3)),
                          four = common::forever(py::int_(4));
  SW_CHECK(check_mode_of(self, mode));
  SW_LET(first_count, common::call_method(self, names.num_logical_ports, mode));
  SW_LET(split_in_four, common::equal(first_count, four));
  if (split_in_four) return lane_bit(polarity_flip_list, sub);
  SW_LET(second_count, common::call_method(self, names.num_logical_ports, mode));
  SW_LET(split_in_two, common::equal(second_count, two));
  if (!split_in_two) return common::ref(polarity_flip_list);
  // The sub-port's two lanes: bits 2 * sub and 2 * sub + 1.
  SW_LET(shift, common::steal(PyNumber_Multiply(sub.ptr(), two.ptr())));
  SW_LET(shifted, common::steal(PyNumber_Rshift(polarity_flip_list.ptr(), shift.ptr())));
  return common::steal(PyNumber_And(shifted.ptr(), three.ptr()));
}

py::object gang_count(py::handle self, py::handle mode, ModeTexts single, ModeTexts ganged,
                      long leader_count) {
  SW_CHECK(check_mode_of(self, mode));
  SW_LET(alone, mode_is_one_of(mode, single));
  if (alone) return common::integer(1);
  SW_LET(in_gang, mode_is_one_of(mode, ganged));
  if (!in_gang) return common::none();
  SW_LET(leader, is_gang_leader(self));
  return common::integer(leader ? leader_count : 0);
}

}  // namespace asicmodel::family
