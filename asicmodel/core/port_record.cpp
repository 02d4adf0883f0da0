// Port, SDKPort and BCMPort: the record every family port class builds on,
// with the shared per-port rules bound in the order the class defines them.
#include "asicmodel/core/port_record.hpp"

#include "asicmodel/core/family_tables.hpp"
#include "asicmodel/core/port_modes.hpp"
#include "asicmodel/core/port_naming.hpp"
#include "asicmodel/core/port_polarity.hpp"
#include "asicmodel/core/registrations.hpp"
#include "common/py_ops.hpp"

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

void port_init(py::object self, py::object label) {
  self.attr("label") = label;
  self.attr("sfp") = py::none();
}

// Stores the 18 fields after `label` unchanged; sequences stay the caller's.
void sdk_port_init(py::object self, py::object label, py::object hw_ports, py::object phy_types,
                    py::object phy_addrs, py::object phy_layer, py::object prim_offset,
                    py::object leds, py::object unit, py::object rx_polarity_flip,
                    py::object tx_polarity_flip, py::object rx_lane_map, py::object tx_lane_map,
                    py::object mdi_pair_map, py::object pre_emphasis, py::object drv_current,
                    py::object pre_drv_current, py::object oversub, py::object phy_id1,
                    py::object sys_interface) {
  this_module().attr("Port").attr("__init__")(self, label);
  self.attr("hw_ports") = hw_ports;
  self.attr("prim_offset") = prim_offset;
  self.attr("phy_types") = phy_types;
  self.attr("phy_addrs") = phy_addrs;
  self.attr("phy_layer") = phy_layer;
  self.attr("leds") = leds;
  self.attr("unit") = unit;
  self.attr("rx_polarity_flip") = rx_polarity_flip;
  self.attr("tx_polarity_flip") = tx_polarity_flip;
  self.attr("rx_lane_map") = rx_lane_map;
  self.attr("tx_lane_map") = tx_lane_map;
  self.attr("mdi_pair_map") = mdi_pair_map;
  self.attr("pre_emphasis") = pre_emphasis;
  self.attr("drv_current") = drv_current;
  self.attr("pre_drv_current") = pre_drv_current;
  self.attr("oversub") = oversub;
  self.attr("phy_id1") = phy_id1;
  self.attr("sys_interface") = sys_interface;
}

py::object port_mangler(py::object self, py::object mode) {
  return py::make_tuple(py::make_tuple(self, mode));
}

py::object configurable(py::object self, py::object config_map) {
  py::object key = self.attr("label");
  if (common::py_truthy(self.attr("is_fabric"))) key = py::str("Fabric-") + key;
  py::object mode = common::py_contains(config_map, key) ? py::object(config_map[key])
                                                         : self.attr("default_mode");
  py::object lowered = mode.attr("lower")();
  return common::py_bool(!common::py_truthy(lowered.attr("startswith")("disable")));
}

py::object phy_autodetect(py::object self, py::object, py::object sub) {
  py::object phy_type = self.attr("phy_types")[sub];
  return common::py_bool(common::py_contains(self.attr("_autodetect_phys"), phy_type));
}

py::object num_phys(py::object self) {
  py::object addresses = self.attr("phy_addrs");
  long count = 0;
  if (!addresses.is_none()) {
    for (py::handle address : addresses) count += address.is_none() ? 0 : 1;
  }
  return py::int_(count);
}

}  // namespace

void define_port_record(Catalogue& catalogue) {
  catalogue.define_on("Port", reinterpret_cast<PyObject*>(&PyBaseObject_Type), kPortDoc)
      .attr("is_fabric", py::bool_(false))
      .attr("create_fabric", py::bool_(false))
      .method("__init__", &port_init, py::doc(kPortInitDoc), py::arg("self"), py::arg("label"))
      .build();

  auto a = [](const char* name) { return py::arg(name); };
  py::cpp_function init(
      &sdk_port_init, py::name("__init"), py::doc(kSDKPortInitDoc), a("self"), a("label"),
      a("hw_ports"), a("phy_types"), a("phy_addrs"), a("phy_layer"), a("prim_offset"), a("leds"),
      a("unit"), a("rx_polarity_flip"), a("tx_polarity_flip"), a("rx_lane_map"),
      a("tx_lane_map"), a("mdi_pair_map"), a("pre_emphasis"), a("drv_current"),
      a("pre_drv_current"), a("oversub"), a("phy_id1"), a("sys_interface"));

  const py::arg self("self"), cls("cls"), mode("mode"), sub("sub");
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
      .attr("__init__", py::reinterpret_steal<py::object>(PyInstanceMethod_New(init.ptr())))
      .method("port_mangler", &port_mangler, self, mode)
      .method("complete_mode", &complete_mode, py::arg("config"), self, mode)
      .method("configurable", &configurable, self, py::arg("config_map"))
      .method("phy_autodetect", &phy_autodetect, self, mode, sub)
      .classmethod("_check_mode", &check_mode, cls, mode)
      .classmethod("speed", &speed, cls, mode)
      .classmethod("num_lanes", &num_lanes, cls, mode)
      .method("num_physical_ports", &num_physical_ports, self, mode)
      .method("num_logical_ports", &num_logical_ports, self, mode)
      .property("max_logical_ports", &max_logical_ports)
      .method("mac_addrs_contrib_total", &mac_addrs_contrib_total, self, py::arg("config_map"))
      .property("num_phys", &num_phys)
      .method("hw_intf_prefix", &hw_intf_prefix, self, mode, sub)
      .method("hw_intf_num", &hw_intf_num, self, mode, sub)
      .method("hw_intf_num_portmap", &hw_intf_num_portmap, self, mode, sub)
      .method("base_hw_intf_num", &base_hw_intf_num, self, mode, sub)
      .method("hw_intf", &hw_intf, self, mode, sub)
      .method("hw_pbmp", &hw_pbmp, self, mode, sub)
      .method("hw_port_num", &hw_port_num, self, mode, sub)
      .method("port_mac_index", &port_mac_index, self, mode, py::arg("mac_index"), sub)
      .method("led_port_num", &led_port_num, self, mode, sub)
      .method("set_leds", &set_leds, self, mode, py::arg("led_port"), sub,
              py::arg("led_index_list"))
      .method("polarity_flip_val", &polarity_flip_val, self, mode, sub,
              py::arg("polarity_flip"))
      .method("rx_logical_polarity_flip", &rx_logical_polarity_flip, self, mode, sub)
      .method("tx_logical_polarity_flip", &tx_logical_polarity_flip, self, mode, sub)
      .method("serdes_if_type", &serdes_if_type, self, py::arg("speed"))
      .method("an_c37", &an_c37, self, py::arg("speed"))
      .method("an_c73", &an_c73, self, py::arg("speed"))
      .method("logical_port_num", &logical_port_num, self, mode, sub)
      .build();

  catalogue.define("BCMPort", "SDKPort", "Broadcom-specific port data.").build();
}

}  // namespace asicmodel
