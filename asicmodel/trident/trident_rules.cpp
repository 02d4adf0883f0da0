#include "asicmodel/trident/trident_rules.hpp"

#include "asicmodel/core/names.hpp"
#include "asicmodel/core/port_mode_rules.hpp"
#include "common/host_calls.hpp"

namespace asicmodel::trident {

int ModeTexts::matches(py::handle mode) const {
  for (std::size_t i = 0; i < size_; ++i) {
    if (!objects_[i]) {
      objects_[i] = PyUnicode_InternFromString(texts_[i]);
      if (!objects_[i]) return -1;
    }
    int same = PyObject_RichCompareBool(mode.ptr(), objects_[i], Py_EQ);
    if (same != 0) return same;
  }
  return 0;
}

namespace {

// The count a listed mode yields: `whole` for a whole mode, four for a
// breakout, `leader` or 0 in a gang by the port's place in it.
py::object count_by_mode(py::handle self, py::handle mode, const ModeCounts& counts,
                         long leader) {
  static const py::handle zero = common::forever(py::int_(0)), one = common::forever(py::int_(1)),
                          four = common::forever(py::int_(4));
  SW_CHECK(check_mode_of(self, mode));
  SW_LET(whole, counts.whole.matches(mode));
  if (whole) return common::ref(one);
  SW_LET(breakout, counts.breakout.matches(mode));
  if (breakout) return common::ref(four);
  SW_LET(gang, counts.gang.matches(mode));
  if (gang) {
    SW_LET(is_leader, is_gang_leader(self));
    return is_leader ? common::integer(leader) : common::ref(zero);
  }
  return counts.other == OtherModes::kZero ? common::ref(zero) : common::none();
}

}  // namespace

py::object logical_ports_by_mode(py::handle self, py::handle mode, const ModeCounts& counts) {
  return count_by_mode(self, mode, counts, 1);
}

py::object physical_ports_by_mode(py::handle self, py::handle mode, const ModeCounts& counts) {
  return count_by_mode(self, mode, counts, 4);
}

int require_lane_polarity(py::handle self, py::handle mode, py::handle polarity,
                          const char* form) {
  if (!polarity.is_none()) return 0;
  py::object label = common::get(self, names.label);
  if (!label) return -1;
  py::object form_text = common::steal(PyUnicode_FromString(form));
  if (!form_text) return -1;
  common::fail_percent(PyExc_TypeError, "port %s in mode %s needs a polarity %s, got None", label,
                       mode, form_text);
  return -1;
}

py::object lane_bit(py::handle mask, py::handle sub) {
  static const py::handle zero = common::forever(py::int_(0)), one = common::forever(py::int_(1));
  SW_LET(bit, common::steal(PyNumber_Lshift(one.ptr(), sub.ptr())));
  SW_LET(masked, common::steal(PyNumber_And(mask.ptr(), bit.ptr())));
  SW_LET(is_set, common::truth(masked));
  return common::ref(is_set ? one : zero);
}

py::object lane_mask_polarity(py::handle self, py::handle mode, py::handle sub, py::handle mask,
                              const ModeCounts& counts) {
  SW_CHECK(check_mode_of(self, mode));
  SW_LET(breakout, counts.breakout.matches(mode));
  if (breakout) {
    SW_CHECK(require_lane_polarity(self, mode, mask, "lane mask"));
    return lane_bit(mask, sub);
  }
  SW_LET(whole, counts.whole.matches(mode));
  if (whole) return common::ref(mask);
  return common::none();
}

}  // namespace asicmodel::trident
