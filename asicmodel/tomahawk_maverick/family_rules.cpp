#include "asicmodel/tomahawk_maverick/family_rules.hpp"

#include "asicmodel/core/port_mode_rules.hpp"
#include "common/bitmap.hpp"
#include "common/py_ops.hpp"

namespace asicmodel::family {

namespace {

py::object gang_share(py::object self, py::object mode, long leader_count) {
  check_mode_of(self, mode);
  if (!common::py_contains(self.attr("gang_modes"), mode)) return py::int_(1);
  return py::int_(is_gang_leader(self) ? leader_count : 0);
}

}  // namespace

py::object floor_div(py::handle a, long b) {
  PyObject* result = PyNumber_FloorDivide(a.ptr(), py::int_(b).ptr());
  if (!result) throw py::error_already_set();
  return py::reinterpret_steal<py::object>(result);
}

py::object checked_one_port(py::object self, py::object mode) {
  check_mode_of(self, mode);
  return py::int_(1);
}

py::object breakout_polarity(py::object self, py::object mode, py::object sub,
                             py::object polarity_flip_list) {
  check_mode_of(self, mode);
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

}  // namespace asicmodel::family
