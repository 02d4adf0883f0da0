#include "asicmodel/trident/trident_rules.hpp"

#include "asicmodel/core/port_mode_rules.hpp"
#include "common/bitmap.hpp"
#include "common/host_errors.hpp"
#include "common/py_ops.hpp"

namespace asicmodel::trident {

bool mode_is(const py::object& mode, const std::vector<std::string>& texts) {
  for (const std::string& text : texts) {
    if (mode_is(mode, text.c_str())) return true;
  }
  return false;
}

namespace {

py::object other_mode_answer(const ModeCounts& counts) {
  return counts.other == OtherModes::kZero ? py::object(py::int_(0)) : py::object(py::none());
}

}  // namespace

py::object logical_ports_by_mode(const py::object& self, const py::object& mode,
                                 const ModeCounts& counts) {
  check_mode_of(self, mode);
  if (mode_is(mode, counts.whole)) return py::int_(1);
  if (mode_is(mode, counts.breakout)) return py::int_(4);
  if (mode_is(mode, counts.gang)) return py::int_(is_gang_leader(self) ? 1 : 0);
  return other_mode_answer(counts);
}

py::object physical_ports_by_mode(const py::object& self, const py::object& mode,
                                  const ModeCounts& counts) {
  check_mode_of(self, mode);
  if (mode_is(mode, counts.whole)) return py::int_(1);
  if (mode_is(mode, counts.breakout)) return py::int_(4);
  if (mode_is(mode, counts.gang)) return py::int_(is_gang_leader(self) ? 4 : 0);
  return other_mode_answer(counts);
}

void require_lane_polarity(const py::object& self, const py::object& mode,
                           const py::object& polarity, const char* form) {
  if (!polarity.is_none()) return;
  common::raise_error_object(
      PyExc_TypeError, common::percent_of("port %s in mode %s needs a polarity %s, got None",
                                          self.attr("label"), mode, py::str(form)));
}

py::object lane_mask_polarity(const py::object& self, const py::object& mode,
                              const py::object& sub, const py::object& mask,
                              const ModeCounts& counts) {
  check_mode_of(self, mode);
  if (mode_is(mode, counts.breakout)) {
    require_lane_polarity(self, mode, mask, "lane mask");
    py::object lane_bit = mask & common::one_shifted(sub);
    return py::int_(common::py_truthy(lane_bit) ? 1 : 0);
  }
  if (mode_is(mode, counts.whole)) return mask;
  return py::none();
}

}  // namespace asicmodel::trident
