// The configured port model: construction, the gang tests and label, the
// auto-negotiation choice and the per-sub-port PHY values. Plain
// forwarders to the platform port are the templates of the header.
#include "bringup/config/configured_port_ops.hpp"

namespace bringup {

py::object configured_port_init(py::handle self, py::handle mode, py::handle mac_index,
                                py::handle loopback) {
  SW_CHECK(common::set(self, names.mode, mode));
  SW_CHECK(common::set(self, names.mac_index, mac_index));
  SW_CHECK(common::set(self, names.loopback, loopback));
  return common::none();
}

py::object not_implemented(py::handle) { return common::fail_none(PyExc_NotImplementedError); }

py::object no_answer(py::handle) { return common::none(); }

// In "40G/4" the gang is named by its lowest label: ((L - 1) // 4) * 4 + 1.
py::object gang_label(py::handle self) {
  static const py::handle gang_mode = common::forever(py::str("40G/4"));
  static const py::handle one = common::forever(py::int_(1)), four = common::forever(py::int_(4));
  SW_LET(mode, common::get(self, names.mode));
  SW_LET(is_gang_mode, common::equal(mode, gang_mode));
  SW_LET(label, common::get(self, names.label));
  if (!is_gang_mode) return label;
  SW_LET(number, to_int(label));
  SW_LET(below, common::steal(PyNumber_Subtract(number.ptr(), one.ptr())));
  SW_LET(group, common::steal(PyNumber_FloorDivide(below.ptr(), four.ptr())));
  SW_LET(first, common::steal(PyNumber_Multiply(group.ptr(), four.ptr())));
  SW_LET(gang, common::steal(PyNumber_Add(first.ptr(), one.ptr())));
  return common::steal(PyObject_Str(gang.ptr()));
}

py::object sdk_configured_port_init(py::handle self, py::handle mode, py::handle physical_port,
                                    py::handle port_base, py::handle mac_index,
                                    py::handle loopback) {
  SW_CHECK(init_base(names.ConfiguredPort, self, mode, mac_index, loopback));
  SW_CHECK(common::set(self, names.port_base, port_base));
  SW_CHECK(common::set(self, names.physical_port, physical_port));
  SW_CHECK(common::set(self, names.ganged_ports, Py_None));
  return common::none();
}

// The platform's preference when it states one; otherwise on for copper.
py::object enable_auto_neg(py::handle self) {
  static const py::handle ten_g_base_t = common::forever(py::str("10GBaseT")),
                          one_g_base_t = common::forever(py::str("1GBaseT"));
  SW_LET(port, physical_port_of(self));
  SW_LET(preference, common::get(port, names.autoneg_pref));
  if (!preference.is_none()) return preference;
  SW_LET(layer, common::get(port, names.phy_layer));
  SW_LET(ten_g, common::equal(layer, ten_g_base_t));
  if (ten_g) return common::boolean(true);
  SW_LET(one_g, common::equal(layer, one_g_base_t));
  return common::boolean(one_g);
}

// None when the platform port lists no PHY addresses at all.
py::object phy_addr(py::handle self, py::handle sub) {
  SW_LET(port, physical_port_of(self));
  SW_LET(addresses, common::get(port, names.phy_addrs));
  if (addresses.is_none()) return addresses;
  return common::item(addresses, sub);
}

py::object phy_type(py::handle self, py::handle sub) {
  SW_LET(port, physical_port_of(self));
  SW_LET(types, common::get(port, names.phy_types));
  if (types.is_none()) return types;
  return common::item(types, sub);
}

py::object port_mac_index(py::handle self, py::handle sub) {
  SW_LET(port, physical_port_of(self));
  SW_LET(mode, common::get(self, names.mode));
  SW_LET(mac_index, common::get(self, names.mac_index));
  return common::call_method(port, names.port_mac_index, mode, mac_index, sub);
}

py::object set_leds(py::handle self, py::handle led_port, py::handle sub,
                    py::handle led_index_list) {
  SW_LET(port, physical_port_of(self));
  SW_LET(mode, common::get(self, names.mode));
  return common::call_method(port, names.set_leds, mode, led_port, sub, led_index_list);
}

// The platform port is asked with this port's speed, not its mode.
py::object serdes_if_type(py::handle self) {
  SW_LET(speed, common::get(self, names.speed));
  SW_LET(port, physical_port_of(self));
  return common::call_method(port, names.serdes_if_type, speed);
}

py::object ganged(py::handle self) {
  SW_LET(port, physical_port_of(self));
  SW_LET(gang_modes, common::get(port, names.gang_modes));
  SW_LET(mode, common::get(self, names.mode));
  SW_LET(member, common::contains(gang_modes, mode));
  return common::boolean(member);
}

// A gang member leads when its platform port answers logical ports at all.
py::object gang_leader(py::handle self) {
  static const py::handle zero = common::forever(py::int_(0));
  SW_LET(is_ganged, common::get(self, names.ganged));
  SW_LET(ganged_truth, common::truth(is_ganged));
  if (!ganged_truth) return common::boolean(false);
  SW_LET(count, common::get(self, names.num_logical_ports));
  SW_LET(same, common::equal(count, zero));
  return common::boolean(!same);
}

}  // namespace bringup
