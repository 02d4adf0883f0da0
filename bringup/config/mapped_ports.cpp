// Port-map numbering (one sequence per unit for logical ports, bitmap
// positions and interface numbers) and Dport numbering (logical ports by
// the family rule, interface numbers per unit and prefix).
#include "bringup/config/configured_port_ops.hpp"

namespace bringup {

namespace {

// base + sub - 1, on the host's ints.
py::object counted_from_one(py::handle self, PyObject* base_name, py::handle sub) {
  static const py::handle one = common::forever(py::int_(1));
  SW_LET(base, common::get(self, base_name));
  SW_LET(sum, common::steal(PyNumber_Add(base.ptr(), sub.ptr())));
  return common::steal(PyNumber_Subtract(sum.ptr(), one.ptr()));
}

py::object one_shifted_by(py::handle position) {
  static const py::handle one = common::forever(py::int_(1));
  return common::steal(PyNumber_Lshift(one.ptr(), position.ptr()));
}

}  // namespace

py::object mapped_sdk_pbmp(py::handle self, py::handle sub) {
  SW_LET(port_base, common::get(self, names.port_base));
  SW_LET(position, common::steal(PyNumber_Add(port_base.ptr(), sub.ptr())));
  return one_shifted_by(position);
}

py::object mapped_sdk_intf_num(py::handle self, py::handle sub) {
  return counted_from_one(self, names.port_base, sub);
}

// `loopback` is optional here: nothing builds this class with one.
py::object mapped_port_init(py::handle self, py::handle mode, py::handle physical_port,
                            py::handle port_base, py::handle mac_index, py::handle loopback) {
  return init_base(names.SDKConfiguredMappedPort, self, mode, physical_port, port_base, mac_index,
                   loopback);
}

py::object dport_init(py::handle self, py::handle mode, py::handle physical_port,
                      py::handle port_base, py::handle if_port_base, py::handle mac_index,
                      py::handle loopback) {
  SW_CHECK(init_base(names.BCMConfiguredPort, self, mode, physical_port, port_base, mac_index,
                     loopback));
  SW_CHECK(common::set(self, names.if_port_base, if_port_base));
  return common::none();
}

py::object dport_sdk_pbmp(py::handle self, py::handle sub) {
  SW_LET(position, common::call_method(self, names.sdk_logical_port_num, sub));
  return one_shifted_by(position);
}

py::object dport_sdk_intf_num(py::handle self, py::handle sub) {
  return counted_from_one(self, names.if_port_base, sub);
}

py::object dport_sdk_unit_intf_num(py::handle self, py::handle sub) {
  return counted_from_one(self, names.port_base, sub);
}

py::object dport_sdk_logical_port_num(py::handle self, py::handle sub) {
  SW_LET(port, physical_port_of(self));
  SW_LET(mode, common::get(self, names.mode));
  SW_LET(port_base, common::get(self, names.port_base));
  return common::call_method(port, names.logical_port_num, mode, sub, port_base);
}

}  // namespace bringup
