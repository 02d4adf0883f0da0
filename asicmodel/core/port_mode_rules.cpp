#include "asicmodel/core/port_mode_rules.hpp"

#include "asicmodel/core/family_tables.hpp"
#include "asicmodel/core/names.hpp"
#include "asicmodel/core/port_naming.hpp"
#include "common/host_calls.hpp"
#include "common/strict_int.hpp"

namespace asicmodel {

py::object check_mode_of(py::handle self, py::handle mode) {
  return common::call_method(self, names._check_mode, mode);
}

py::object floor_mod(py::handle a, long b) {
  SW_LET(divisor, common::integer(b));
  return common::steal(PyNumber_Remainder(a.ptr(), divisor.ptr()));
}

int is_gang_leader(py::handle self) {
  static const py::handle zero = common::forever(py::int_(0));
  py::object hw_ports = common::get(self, names.hw_ports);
  if (!hw_ports) return -1;
  py::object first = common::item_at(hw_ports, 0);
  if (!first) return -1;
  py::object number = interface_number(first);
  if (!number) return -1;
  py::object remainder = floor_mod(number, 4);
  if (!remainder) return -1;
  return common::equal(remainder, zero);
}

py::object breakout_logical_ports(py::handle self, py::handle mode) {
  static const py::handle one = common::forever(py::int_(1));
  SW_CHECK(check_mode_of(self, mode));
  std::string_view text;
  if (common::exact_ascii(mode, text) && text.size() >= 2) {
    // "<n>x...": the count is the first character; any other text takes
    // the full path below for its answer or its error.
    if (text[1] != 'x') return common::ref(one);
    if (text[0] >= '0' && text[0] <= '9') return common::integer(text[0] - '0');
  }
  SW_LET(second, common::item_at(mode, 1));
  SW_LET(is_breakout, mode_is(second, "x"));
  if (!is_breakout) return common::ref(one);
  SW_LET(first, common::item_at(mode, 0));
  return common::int_of_text(first);
}

py::object single_lane_polarity(py::handle self, py::handle mode, py::handle,
                                py::handle polarity_flip) {
  SW_CHECK(check_mode_of(self, mode));
  return common::integer(polarity_flip.ptr() == Py_True ? 1 : 0);
}

}  // namespace asicmodel
