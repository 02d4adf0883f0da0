#include "asicmodel/core/lane_naming.hpp"

#include "asicmodel/core/family_tables.hpp"
#include "asicmodel/core/port_naming.hpp"
#include "common/host_errors.hpp"

namespace asicmodel {

py::tuple serdes_lane_names(const char* format, py::handle serdes) {
  py::list names;
  for (py::handle number : serdes) names.append(common::percent_of(format, number));
  return py::tuple(names);
}

void set_own_serdes_type(py::object self, int speed, const char* serdes_type) {
  py::dict types;
  types[py::int_(speed)] = py::str(serdes_type);
  self.attr("_serdes_intf_map") = types;
}

py::object lane_hw_port_num(py::object self, py::object, py::object sub) {
  return interface_number(self.attr("hw_ports")[sub]);
}

py::object ce_in_100g_intf_prefix(py::object, py::object mode, py::object) {
  return py::str(mode_is(mode, "100G") || mode_is(mode, "100G/4") ? "ce" : "xe");
}

py::object port_base_logical_port_num(py::object, py::object, py::object sub,
                                      py::object port_base) {
  return port_base + sub;
}

}  // namespace asicmodel
