#include "asicmodel/tomahawk_maverick/family_rules.hpp"

#include "asicmodel/core/port_naming.hpp"
#include "common/bitmap.hpp"
#include "common/py_ops.hpp"
#include "common/strict_int.hpp"

namespace asicmodel::family {

namespace {

py::object number_result(PyObject* result) {
  if (!result) throw py::error_already_set();
  return py::reinterpret_steal<py::object>(result);
}

py::object gang_share(py::object self, py::object mode, long leader_count) {
  check_mode(self, mode);
  if (!common::py_contains(self.attr("gang_modes"), mode)) return py::int_(1);
  return py::int_(leads_gang(self) ? leader_count : 0);
}

}  // namespace

bool is_mode(py::handle value, const char* text) { return common::py_equal(value, py::str(text)); }

py::object floor_div(py::handle a, long b) {
  return number_result(PyNumber_FloorDivide(a.ptr(), py::int_(b).ptr()));
}

py::object floor_mod(py::handle a, long b) {
  return number_result(PyNumber_Remainder(a.ptr(), py::int_(b).ptr()));
}

void check_mode(py::object self, py::object mode) { self.attr("_check_mode")(mode); }

py::object first_lane(py::object self) { return interface_number(self.attr("hw_ports")[py::int_(0)]); }

bool leads_gang(py::object self) { return common::py_equal(floor_mod(first_lane(self), 4), py::int_(0)); }

py::object checked_one_port(py::object self, py::object mode) {
  check_mode(self, mode);
  return py::int_(1);
}

py::object breakout_logical_ports(py::object self, py::object mode) {
  check_mode(self, mode);
  if (!is_mode(mode[py::int_(1)], "x")) return py::int_(1);
  return common::int_from_text(mode[py::int_(0)]);
}

py::object breakout_polarity(py::object self, py::object mode, py::object sub,
                             py::object polarity_flip_list) {
  check_mode(self, mode);
  if (common::py_equal(self.attr("num_logical_ports")(mode), py::int_(4))) {
    bool set = common::py_truthy(polarity_flip_list & common::one_shifted(sub));
    return py::int_(set ? 1 : 0);
  }
  if (common::py_equal(self.attr("num_logical_ports")(mode), py::int_(2))) {
    return (polarity_flip_list >> (sub * py::int_(2))) & py::int_(3);
  }
  return polarity_flip_list;
}

py::object gang_logical_ports(py::object self, py::object mode) { return gang_share(self, mode, 1); }

py::object gang_physical_ports(py::object self, py::object mode) {
  return gang_share(self, mode, 4);
}

py::object single_lane_polarity(py::object self, py::object mode, py::object,
                                py::object polarity_flip) {
  check_mode(self, mode);
  return py::int_(polarity_flip.ptr() == Py_True ? 1 : 0);
}

}  // namespace asicmodel::family
