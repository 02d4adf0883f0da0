#include "asicmodel/trident/trident_rules.hpp"

#include "asicmodel/core/port_naming.hpp"
#include "common/bitmap.hpp"
#include "common/host_errors.hpp"
#include "common/py_ops.hpp"

namespace asicmodel::trident {

bool mode_is(const py::object& mode, const char* text) {
  return common::py_equal(mode, py::str(text));
}

bool mode_is(const py::object& mode, const std::vector<std::string>& texts) {
  for (const std::string& text : texts) {
    if (mode_is(mode, text.c_str())) return true;
  }
  return false;
}

void check_mode_of(const py::object& self, const py::object& mode) {
  self.attr("_check_mode")(mode);
}

bool is_gang_leader(const py::object& self) {
  py::object number = interface_number(self.attr("hw_ports")[py::int_(0)]);
  // The host's modulo (floor), so the test reads as written for any int.
  PyObject* remainder = PyNumber_Remainder(number.ptr(), py::int_(4).ptr());
  if (!remainder) throw py::error_already_set();
  return common::py_equal(py::reinterpret_steal<py::object>(remainder), py::int_(0));
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

py::object flag_polarity_flip_val(py::object self, py::object mode, py::object,
                                  py::object polarity_flip) {
  check_mode_of(self, mode);
  return py::int_(polarity_flip.ptr() == Py_True ? 1 : 0);
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

bool on_copper(const py::object& self) {
  py::object phy_layer = self.attr("phy_layer");
  return mode_is(phy_layer, "10GBaseT") || mode_is(phy_layer, "1GBaseT");
}

py::object sfp_fiber_pref(py::object self) {
  return common::py_bool(common::py_contains(self.attr("phy_layer"), py::str("SFP")));
}

py::tuple texts(std::initializer_list<const char*> items) {
  py::tuple tuple(items.size());
  std::size_t i = 0;
  for (const char* item : items) tuple[i++] = py::str(item);
  return tuple;
}

py::dict speed_map(std::initializer_list<std::pair<const char*, double>> entries) {
  py::dict map;
  for (const auto& [mode, speed] : entries) {
    bool whole = speed == static_cast<double>(static_cast<long>(speed));
    map[py::str(mode)] = whole ? py::object(py::int_(static_cast<long>(speed)))
                               : py::object(py::float_(speed));
  }
  return map;
}

py::object one_logical_port(py::object) { return py::int_(1); }

py::object four_logical_ports(py::object) { return py::int_(4); }

}  // namespace asicmodel::trident
