// SDK interface naming, numbering and bitmaps of the plain SDK layer. Every
// rule asks the others through the object, so the port-map and Dport
// variants that replace a few of them change the rest with them.
#include "bringup/config/configured_port_ops.hpp"
#include "bringup/sdkconfig/text_lines.hpp"

namespace bringup {

namespace {

// `int(self.physical_port.<name>(self.mode, sub))`.
template <PyObject* Names::*name>
py::object hardware_number(py::handle self, py::handle sub) {
  SW_LET(answer, forward_sub<name>(self, sub));
  return to_int(answer);
}

}  // namespace

py::object linux_prefix(py::handle self) {
  static const py::handle fabric = common::forever(py::str("fp")), front = common::forever(py::str("swp"));
  SW_LET(port, physical_port_of(self));
  SW_LET(is_fabric, common::get(port, names.is_fabric));
  SW_LET(truth, common::truth(is_fabric));
  return common::borrow((truth ? fabric : front).ptr());
}

py::object hw_intf_num(py::handle self, py::handle sub) {
  return hardware_number<&Names::hw_intf_num>(self, sub);
}

py::object hw_intf_num_portmap(py::handle self, py::handle sub) {
  return hardware_number<&Names::hw_intf_num_portmap>(self, sub);
}

py::object base_hw_intf_num(py::handle self, py::handle sub) {
  return hardware_number<&Names::base_hw_intf_num>(self, sub);
}

// "hg" ports are named "xe" unless the platform port disables it.
py::object sdk_intf_prefix(py::handle self, py::handle sub) {
  static const py::handle higig = common::forever(py::str("hg")), ethernet = common::forever(py::str("xe"));
  SW_LET(prefix, forward_sub<&Names::hw_intf_prefix>(self, sub));
  SW_LET(two, common::steal(PySequence_GetSlice(prefix.ptr(), 0, 2)));
  SW_LET(port, physical_port_of(self));
  SW_LET(no_translation, common::get(port, names.disable_prefix_xlate));
  if (no_translation.ptr() == Py_True) return two;
  SW_LET(is_higig, common::equal(two, higig));
  return is_higig ? common::borrow(ethernet.ptr()) : two;
}

py::object sdk_intf_num(py::handle self, py::handle sub) {
  return common::call_method(self, names.hw_intf_num, sub);
}

py::object sdk_unit_intf_num(py::handle self, py::handle sub) {
  return common::call_method(self, names.sdk_intf_num, sub);
}

// "%s%u" of the prefix and the number.
py::object sdk_intf(py::handle self, py::handle sub) {
  SW_LET(prefix, common::call_method(self, names.sdk_intf_prefix, sub));
  SW_LET(number, common::call_method(self, names.sdk_intf_num, sub));
  return TextLines::single(Text{prefix}, Number{number});
}

// swp<label>, fp<label> on a fabric port, with s<sub> when broken out; the
// platform port's override wins for every sub-port.
py::object linux_port_name(py::handle self, py::handle sub) {
  static const py::handle one = common::forever(py::int_(1));
  SW_LET(port, physical_port_of(self));
  SW_LET(override_name, common::get(port, names.name_override));
  if (!override_name.is_none()) return override_name;
  SW_LET(prefix, common::get(self, names.linux_prefix));
  SW_LET(label, common::get(self, names.gang_label));
  // "%s%s": written before the count is read, so its errors come first.
  std::string name;
  if (!append_text_form(prefix, name) || !append_text_form(label, name)) return {};
  SW_LET(count, common::get(self, names.num_logical_ports));
  int broken_out = PyObject_RichCompareBool(count.ptr(), one.ptr(), Py_GT);
  if (broken_out < 0) return {};
  if (!broken_out) return host_text(name);
  SW_LET(sub_prefix, common::get(self, names.linux_prefix));
  SW_LET(sub_label, common::get(self, names.gang_label));
  return TextLines::single(Text{sub_prefix}, Text{sub_label}, "s", Number{sub});
}

py::object sdk_pbmp(py::handle self, py::handle sub) {
  return forward_sub<&Names::hw_pbmp>(self, sub);
}

py::object sdk_logical_port_num(py::handle self, py::handle sub) {
  SW_LET(port_base, common::get(self, names.port_base));
  return common::steal(PyNumber_Add(port_base.ptr(), sub.ptr()));
}

// The name in SDK configuration keys: the logical port number on port-map
// capable classes, else the SDK interface name; ".<unit>" unless the
// caller says the switch has one unit (or none).
py::object sdk_config_intf(py::handle self, py::handle sub, py::handle num_units) {
  static const py::handle one = common::forever(py::int_(1));
  SW_LET(capable, common::get(self, names.portmap_capable));
  SW_LET(by_number, common::truth(capable));
  SW_LET(named, by_number ? common::call_method(self, names.sdk_logical_port_num, sub)
                          : common::call_method(self, names.sdk_intf, sub));
  SW_LET(name, common::steal(PyObject_Str(named.ptr())));
  int suffixed = 1;
  if (!num_units.is_none()) {
    suffixed = PyObject_RichCompareBool(num_units.ptr(), one.ptr(), Py_GT);
    if (suffixed < 0) return {};
  }
  if (!suffixed) return name;
  SW_LET(unit, common::get(self, names.unit));
  return TextLines::single(Text{name}, ".", Number{unit});
}

}  // namespace bringup
