#include "asicmodel/core/port_mode_rules.hpp"

#include "asicmodel/core/family_tables.hpp"
#include "asicmodel/core/port_naming.hpp"
#include "common/py_ops.hpp"
#include "common/strict_int.hpp"

namespace asicmodel {

void check_mode_of(const py::object& self, const py::object& mode) {
  self.attr("_check_mode")(mode);
}

py::object floor_mod(py::handle a, long b) {
  PyObject* result = PyNumber_Remainder(a.ptr(), py::int_(b).ptr());
  if (!result) throw py::error_already_set();
  return py::reinterpret_steal<py::object>(result);
}

bool is_gang_leader(const py::object& self) {
  py::object number = interface_number(self.attr("hw_ports")[py::int_(0)]);
  return common::py_equal(floor_mod(number, 4), py::int_(0));
}

py::object breakout_logical_ports(py::object self, py::object mode) {
  check_mode_of(self, mode);
  if (!mode_is(mode[py::int_(1)], "x")) return py::int_(1);
  return common::int_from_text(mode[py::int_(0)]);
}

py::object single_lane_polarity(py::object self, py::object mode, py::object,
                                py::object polarity_flip) {
  check_mode_of(self, mode);
  return py::int_(polarity_flip.ptr() == Py_True ? 1 : 0);
}

}  // namespace asicmodel
