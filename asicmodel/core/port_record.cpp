// Port, SDKPort and BCMPort: the record every family port class builds on,
// with the shared per-port rules bound in the order the class defines them.
#include "asicmodel/core/port_record.hpp"

#include "asicmodel/core/family_tables.hpp"
#include "asicmodel/core/port_modes.hpp"
#include "asicmodel/core/port_naming.hpp"
#include "asicmodel/core/port_polarity.hpp"
#include "asicmodel/core/registrations.hpp"
#include "asicmodel/core/names.hpp"
#include "common/host_calls.hpp"

namespace asicmodel {

namespace {

const char* const kPortInitDoc = "label - the text written next to the physical port";

const char* const kPortDoc =
    "A physical switch port, typically on the front panel.\n"
    "label - the text written next to the physical port";

const char* const kSDKPortDoc =
    "SDK port data common to every switch chip family.\n"
    "modes        - the port modes this class accepts\n"
    "default_mode - the mode used when the port configuration names none\n"
    "gang_modes   - modes that gang several single-lane ports into one\n"
    "max_gang_size - the largest number of ports in one gang\n"
    "pbmp_map     - hardware interface name to SDK port-bitmap position\n"
    "phy_init     - PHY register to value, written for each PHY";

const char* const kSDKPortInitDoc =
    "label, hw_ports (hardware interface names, lane order), phy_types,\n"
    "phy_addrs, phy_layer (cage or medium), prim_offset, leds (LED controller\n"
    "index, chain position), unit, rx/tx_polarity_flip, rx/tx_lane_map,\n"
    "mdi_pair_map, pre_emphasis, drv_current, pre_drv_current, oversub,\n"
    "phy_id1, sys_interface. Stored unchanged.";

py::object port_init(py::handle self, py::handle label) {
  SW_CHECK(common::set(self, names.label, label));
  SW_CHECK(common::set(self, names.sfp, Py_None));
  return common::none();
}

// Stores the 18 fields after `label` unchanged; sequences stay the caller's.
py::object sdk_port_init(void*, PyObject* const* args) {
  py::handle self = args[0];
  SW_LET(port, common::get(this_module(), names.Port));
  SW_LET(port_init_function, common::get(port, names.dunder_init));
  SW_CHECK(common::call(port_init_function, self, py::handle(args[1])));
  // Set in the record's own order: prim_offset right after hw_ports, the
  // rest as the constructor lists them.
  static const int kOrder[] = {2, 6, 3, 4, 5, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19};
  PyObject* const field_names[] = {
      nullptr,          nullptr,            names.hw_ports,        names.phy_types,
      names.phy_addrs,  names.phy_layer,    names.prim_offset,     names.leds,
      names.unit,       names.rx_polarity_flip, names.tx_polarity_flip, names.rx_lane_map,
      names.tx_lane_map, names.mdi_pair_map, names.pre_emphasis,   names.drv_current,
      names.pre_drv_current, names.oversub, names.phy_id1,         names.sys_interface};
  for (int i : kOrder) SW_CHECK(common::set(self, field_names[i], args[i]));
  return common::none();
}

py::object port_mangler(py::handle self, py::handle mode) {
  SW_LET(pair, common::steal(PyTuple_Pack(2, self.ptr(), mode.ptr())));
  return common::steal(PyTuple_Pack(1, pair.ptr()));
}

py::object configurable(py::handle self, py::handle config_map) {
  static const py::handle fabric_prefix = common::forever(py::str("Fabric-")), disable = common::forever(py::str("disable"));
  SW_LET(key, common::get(self, names.label));
  SW_LET(fabric, common::get(self, names.is_fabric));
  SW_LET(is_fabric, common::truth(fabric));
  if (is_fabric) {
    key = common::steal(PyNumber_Add(fabric_prefix.ptr(), key.ptr()));
    SW_CHECK(key);
  }
  SW_LET(configured, common::contains(config_map, key));
  SW_LET(mode, configured ? common::item(config_map, key) : common::get(self, names.default_mode));
  int disabled = common::ascii_starts_with(mode, "disable", true);
  if (disabled < 0) {
    SW_LET(lowered, common::call_method(mode, names.lower));
    SW_LET(starts, common::call_method(lowered, names.startswith, disable));
    disabled = common::truth(starts);
    SW_CHECK(disabled);
  }
  return common::boolean(!disabled);
}

py::object phy_autodetect(py::handle self, py::handle, py::handle sub) {
  SW_LET(phy_types, common::get(self, names.phy_types));
  SW_LET(phy_type, common::item(phy_types, sub));
  SW_LET(known, common::get(self, names._autodetect_phys));
  SW_LET(found, common::contains(known, phy_type));
  return common::boolean(found);
}

py::object num_phys(py::handle self) {
  SW_LET(addresses, common::get(self, names.phy_addrs));
  long count = 0;
  if (!addresses.is_none()) {
    SW_LET(iterator, common::steal(PyObject_GetIter(addresses.ptr())));
    while (PyObject* address = PyIter_Next(iterator.ptr())) {
      count += address == Py_None ? 0 : 1;
      Py_DECREF(address);
    }
    if (PyErr_Occurred()) return {};
  }
  return common::integer(count);
}

}  // namespace

void define_port_record(Catalogue& catalogue) {
  catalogue.define_on("Port", reinterpret_cast<PyObject*>(&PyBaseObject_Type), kPortDoc)
      .attr("is_fabric", py::bool_(false))
      .attr("create_fabric", py::bool_(false))
      .method("__init__", &port_init, {"self", "label"}, kPortInitDoc)
      .build();

  py::object init = common::fast_function_array(
      "__init__", "SDKPort.__init__", kSDKPortInitDoc, &sdk_port_init, nullptr,
      {"self", "label", "hw_ports", "phy_types", "phy_addrs", "phy_layer", "prim_offset", "leds",
       "unit", "rx_polarity_flip", "tx_polarity_flip", "rx_lane_map", "tx_lane_map",
       "mdi_pair_map", "pre_emphasis", "drv_current", "pre_drv_current", "oversub", "phy_id1",
       "sys_interface"});

  catalogue.define("SDKPort", "Port", kSDKPortDoc)
      .attr("modes", py::tuple())
      .attr("default_mode", py::none())
      .attr("gang_modes", py::tuple())
      .attr("max_gang_size", py::int_(0))
      .attr("pbmp_map", py::dict())
      .attr("phy_init", py::dict())
      .attr("_speed_map", py::dict())
      .attr("_autodetect_phys", texts({"8727", "8747", "8754", "54282", "54680", "54280",
                                            "84328", "84758", "84848", "84858"}))
      .attr("disable_prefix_xlate", py::none())
      .attr("set_fiber_pref", py::bool_(false))
      .attr("_serdes_intf_map", py::dict())
      .attr("autoneg_pref", py::none())
      .attr("sdk_group", py::none())
      .attr("name_override", py::none())
      .method_object("__init__", init)
      .method("port_mangler", &port_mangler, {"self", "mode"})
      .method("complete_mode", &complete_mode, {"config", "self", "mode"})
      .method("configurable", &configurable, {"self", "config_map"})
      .method("phy_autodetect", &phy_autodetect, {"self", "mode", "sub"})
      .classmethod("_check_mode", &check_mode, {"cls", "mode"})
      .classmethod("speed", &speed, {"cls", "mode"})
      .classmethod("num_lanes", &num_lanes, {"cls", "mode"})
      .method("num_physical_ports", &num_physical_ports, {"self", "mode"})
      .method("num_logical_ports", &num_logical_ports, {"self", "mode"})
      .property("max_logical_ports", &max_logical_ports)
      .method("mac_addrs_contrib_total", &mac_addrs_contrib_total, {"self", "config_map"})
      .property("num_phys", &num_phys)
      .method("hw_intf_prefix", &hw_intf_prefix, {"self", "mode", "sub"})
      .method("hw_intf_num", &hw_intf_num, {"self", "mode", "sub"})
      .method("hw_intf_num_portmap", &hw_intf_num_portmap, {"self", "mode", "sub"})
      .method("base_hw_intf_num", &base_hw_intf_num, {"self", "mode", "sub"})
      .method("hw_intf", &hw_intf, {"self", "mode", "sub"})
      .method("hw_pbmp", &hw_pbmp, {"self", "mode", "sub"})
      .method("hw_port_num", &hw_port_num, {"self", "mode", "sub"})
      .method("port_mac_index", &port_mac_index, {"self", "mode", "mac_index", "sub"})
      .method("led_port_num", &led_port_num, {"self", "mode", "sub"})
      .method("set_leds", &set_leds, {"self", "mode", "led_port", "sub", "led_index_list"})
      .method("polarity_flip_val", &polarity_flip_val, {"self", "mode", "sub", "polarity_flip"})
      .method("rx_logical_polarity_flip", &rx_logical_polarity_flip, {"self", "mode", "sub"})
      .method("tx_logical_polarity_flip", &tx_logical_polarity_flip, {"self", "mode", "sub"})
      .method("serdes_if_type", &serdes_if_type, {"self", "speed"})
      .method("an_c37", &an_c37, {"self", "speed"})
      .method("an_c73", &an_c73, {"self", "speed"})
      .method("logical_port_num", &logical_port_num, {"self", "mode", "sub"})
      .build();

  catalogue.define("BCMPort", "SDKPort", "Broadcom-specific port data.").build();
}

}  // namespace asicmodel
