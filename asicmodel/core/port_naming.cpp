#include "asicmodel/core/port_naming.hpp"

#include <string>

#include "common/bitmap.hpp"
#include "common/host_errors.hpp"
#include "common/py_ops.hpp"
#include "common/strict_int.hpp"

namespace asicmodel {

namespace {

// The lane that names logical port `sub`: a port split in two uses the
// first lane of each lane pair, every other count its own lane.
py::object first_lane_name(py::object self, py::object mode, py::object sub) {
  py::object logical_ports = self.attr("num_logical_ports")(mode);
  py::object lane = common::py_equal(logical_ports, py::int_(2)) ? sub * py::int_(2) : sub;
  return self.attr("hw_ports")[lane];
}

py::object lane_pbmp_position(py::object self, py::object sub) {
  return self.attr("pbmp_map")[self.attr("hw_ports")[sub]];
}

}  // namespace

py::object interface_number(py::handle name) {
  return common::int_from_text(common::py_slice(name, py::int_(2), py::none()));
}

py::object hw_intf_prefix(py::object self, py::object, py::object sub) {
  return common::py_slice(self.attr("hw_ports")[sub], py::none(), py::int_(2));
}

py::object hw_intf_num(py::object self, py::object mode, py::object sub) {
  return interface_number(first_lane_name(self, mode, sub));
}

py::object hw_intf_num_portmap(py::object self, py::object mode, py::object sub) {
  return self.attr("hw_intf_num")(mode, sub);
}

py::object base_hw_intf_num(py::object self, py::object mode, py::object sub) {
  py::object logical_ports = self.attr("num_logical_ports")(mode);
  Py_ssize_t lanes = py::len(self.attr("hw_ports"));
  // No count (none) ranks below every number, so it takes the scan too.
  bool more_lanes = logical_ports.is_none() ||
                    py::int_(lanes) > logical_ports;
  if (!more_lanes) return self.attr("hw_intf_num")(mode, sub);
  // In a split in two the interface number strides over lane pairs; only
  // indexes whose lane exists are asked, so the scan never reads past the
  // last lane and still finds the port's lowest number.
  // The host's min(): a port with no lane at all has no lowest number and
  // fails as min() of nothing does.
  bool strided = common::py_equal(logical_ports, py::int_(2));
  py::list numbers;
  for (Py_ssize_t x = 0; x < lanes; ++x) {
    if (strided && 2 * x >= lanes) break;
    numbers.append(self.attr("hw_intf_num")(mode, py::int_(x)));
  }
  return py::module_::import("builtins").attr("min")(numbers);
}

py::object hw_intf(py::object self, py::object mode, py::object sub) {
  return common::percent_of("%s%u", self.attr("hw_intf_prefix")(mode, sub),
                            self.attr("hw_intf_num")(mode, sub));
}

py::object hw_pbmp(py::object self, py::object, py::object sub) {
  return common::one_shifted(lane_pbmp_position(self, sub));
}

py::object hw_port_num(py::object self, py::object, py::object sub) {
  return lane_pbmp_position(self, sub);
}

py::object led_port_num(py::object self, py::object, py::object sub) {
  return lane_pbmp_position(self, sub);
}

py::object logical_port_num(py::object, py::object, py::object) {
  common::raise_not_implemented();
}

py::dict numbered_pbmp_map(const py::list& names) {
  py::dict map;
  long position = 1;
  for (py::handle name : names) map[name] = py::int_(position++);
  return map;
}

py::dict prefixed_pbmp_map(const char* prefix, int count) {
  py::list names;
  for (int n = 0; n < count; ++n) names.append(py::str(std::string(prefix) + std::to_string(n)));
  return numbered_pbmp_map(names);
}

}  // namespace asicmodel
