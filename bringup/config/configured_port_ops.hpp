// The operations of the configured-port classes, by topic:
//   port_model.cpp    construction, forwarding to the platform port, gangs,
//                     auto-negotiation, PHY values;
//   port_naming.cpp   SDK interface names and numbers, bitmaps, kernel names;
//   mapped_ports.cpp  the port-map and Dport numbering;
//   port_polarity.cpp logical polarity flips.
// configured_port_classes.cpp binds them in each class's order.
#pragma once

#include <pybind11/pybind11.h>

#include "bringup/binding.hpp"

namespace bringup {

namespace py = pybind11;

// Reads of the configured port's own fields.
inline py::object physical_port_of(py::handle self) { return common::get(self, names.physical_port); }

// `Base.__init__(self, args...)` with the base looked up by its module
// name when the constructor runs.
template <typename... Args>
py::object init_base(PyObject* base_name, py::handle self, const Args&... args) {
  SW_LET(base, global(base_name));
  SW_LET(init, common::get(base, names.dunder_init));
  return common::call(init, self, args...);
}

// `self.physical_port.<name>`, read at each access.
template <PyObject* Names::*name>
py::object forward_attribute(py::handle self) {
  SW_LET(port, physical_port_of(self));
  return common::get(port, names.*name);
}

// `self.physical_port.<name>(self.mode)`.
template <PyObject* Names::*name>
py::object forward_mode(py::handle self) {
  SW_LET(port, physical_port_of(self));
  SW_LET(mode, common::get(self, names.mode));
  return common::call_method(port, names.*name, mode);
}

// `self.physical_port.<name>(self.mode, sub)`.
template <PyObject* Names::*name>
py::object forward_sub(py::handle self, py::handle sub) {
  SW_LET(port, physical_port_of(self));
  SW_LET(mode, common::get(self, names.mode));
  return common::call_method(port, names.*name, mode, sub);
}

// The same with the operation's name given at run time.
inline py::object forward_sub_named(py::handle self, PyObject* name, py::handle sub) {
  SW_LET(port, physical_port_of(self));
  SW_LET(mode, common::get(self, names.mode));
  return common::call_method(port, name, mode, sub);
}

// port_model.cpp
py::object configured_port_init(py::handle self, py::handle mode, py::handle mac_index,
                                py::handle loopback);
py::object not_implemented(py::handle self);
py::object no_answer(py::handle self);
py::object gang_label(py::handle self);
py::object sdk_configured_port_init(py::handle self, py::handle mode, py::handle physical_port,
                                    py::handle port_base, py::handle mac_index,
                                    py::handle loopback);
py::object enable_auto_neg(py::handle self);
py::object phy_addr(py::handle self, py::handle sub);
py::object phy_type(py::handle self, py::handle sub);
py::object port_mac_index(py::handle self, py::handle sub);
py::object set_leds(py::handle self, py::handle led_port, py::handle sub,
                    py::handle led_index_list);
py::object serdes_if_type(py::handle self);
py::object ganged(py::handle self);
py::object gang_leader(py::handle self);

// port_naming.cpp
py::object linux_prefix(py::handle self);
py::object hw_intf_num(py::handle self, py::handle sub);
py::object hw_intf_num_portmap(py::handle self, py::handle sub);
py::object base_hw_intf_num(py::handle self, py::handle sub);
py::object sdk_intf_prefix(py::handle self, py::handle sub);
py::object sdk_intf_num(py::handle self, py::handle sub);
py::object sdk_unit_intf_num(py::handle self, py::handle sub);
py::object sdk_intf(py::handle self, py::handle sub);
py::object linux_port_name(py::handle self, py::handle sub);
py::object sdk_pbmp(py::handle self, py::handle sub);
py::object sdk_logical_port_num(py::handle self, py::handle sub);
py::object sdk_config_intf(py::handle self, py::handle sub, py::handle num_units);

// mapped_ports.cpp
py::object mapped_sdk_pbmp(py::handle self, py::handle sub);
py::object mapped_sdk_intf_num(py::handle self, py::handle sub);
py::object mapped_port_init(py::handle self, py::handle mode, py::handle physical_port,
                            py::handle port_base, py::handle mac_index, py::handle loopback);
py::object dport_init(py::handle self, py::handle mode, py::handle physical_port,
                      py::handle port_base, py::handle if_port_base, py::handle mac_index,
                      py::handle loopback);
py::object dport_sdk_pbmp(py::handle self, py::handle sub);
py::object dport_sdk_intf_num(py::handle self, py::handle sub);
py::object dport_sdk_unit_intf_num(py::handle self, py::handle sub);
py::object dport_sdk_logical_port_num(py::handle self, py::handle sub);

// port_polarity.cpp
// The lanes of one logical port by mode (a dict), as the per-lane polarity
// lines count them.
py::handle lanes_per_mode();
py::object rx_logical_polarity_flip(py::handle self, py::handle sub);
py::object tx_logical_polarity_flip(py::handle self, py::handle sub);
py::object td3_rx_logical_polarity_flip(py::handle self, py::handle port, py::handle portmap,
                                        py::handle sub);
py::object td3_tx_logical_polarity_flip(py::handle self, py::handle port, py::handle portmap,
                                        py::handle sub);

}  // namespace bringup
