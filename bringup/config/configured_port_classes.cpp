// The configured-port classes, each member bound in its class's order.
#include "bringup/config/configured_port_ops.hpp"
#include "bringup/registrations.hpp"

namespace bringup {

namespace {

template <PyObject* Names::*name>
constexpr auto attribute = &forward_attribute<name>;
template <PyObject* Names::*name>
constexpr auto by_mode = &forward_mode<name>;
template <PyObject* Names::*name>
constexpr auto by_sub = &forward_sub<name>;

const char* const kGangLabelDoc =
    "Gang Identifier for Ganged ports\n"
    "Port Label for unganged port\n"
    "Assumption: Port numbering starts at swp1";
const char* const kLabelDoc = "The text printed on the front of the switch.";
const char* const kSpeedDoc = "The port speed in gigabits/sec.";
const char* const kLogicalDoc = "The number of logical ports (swp interfaces) for the port.";
const char* const kMaxLogicalDoc =
    "The maximum number of logical ports (swp interfaces) for the port.";

}  // namespace

void define_configured_ports(py::module_& module) {
  define_class(module, "ConfiguredPort", nullptr)
      .attr("portmap_capable", py::none())
      .method("__init__", &configured_port_init, {"self", "mode", "mac_index", "loopback"})
      .property("label", &not_implemented, kLabelDoc)
      .property("speed", &not_implemented, kSpeedDoc)
      .property("num_logical_ports", &not_implemented, kLogicalDoc)
      .property("max_logical_ports", &not_implemented, kMaxLogicalDoc)
      .property("leds", &not_implemented)
      .property("linux_prefix", &linux_prefix)
      .property("gang_label", &gang_label, kGangLabelDoc)
      .property("serdes_if_type", &not_implemented)
      .property("an_c37", &no_answer)
      .property("an_c73", &no_answer)
      .build();

  define_class(module, "SDKConfiguredPort", "ConfiguredPort")
      .attr("portmap_capable", py::bool_(false))
      .method("__init__", &sdk_configured_port_init,
              {"self", "mode", "physical_port", "port_base", "mac_index", "loopback"})
      .property("label", attribute<&Names::label>, kLabelDoc)
      .property("oversub", attribute<&Names::oversub>)
      .property("speed", by_mode<&Names::speed>, kSpeedDoc)
      .property("num_lanes", by_mode<&Names::num_lanes>)
      .property("num_logical_ports", by_mode<&Names::num_logical_ports>, kLogicalDoc)
      .property("max_logical_ports", attribute<&Names::max_logical_ports>, kMaxLogicalDoc)
      .property("num_physical_ports", by_mode<&Names::num_physical_ports>)
      .property("num_phys", attribute<&Names::num_phys>)
      .property("enable_auto_neg", &enable_auto_neg)
      .method("hw_intf_num", &hw_intf_num, {"self", "sub"})
      .method("hw_intf_num_portmap", &hw_intf_num_portmap, {"self", "sub"})
      .method("base_hw_intf_num", &base_hw_intf_num, {"self", "sub"})
      .method("sdk_intf_prefix", &sdk_intf_prefix, {"self", "sub"})
      .method("sdk_intf_num", &sdk_intf_num, {"self", "sub"})
      .method("sdk_unit_intf_num", &sdk_unit_intf_num, {"self", "sub"})
      .method("sdk_intf", &sdk_intf, {"self", "sub"})
      .method("linux_port_name", &linux_port_name, {"self", "sub"})
      .method("sdk_pbmp", &sdk_pbmp, {"self", "sub"})
      .method("phy_addr", &phy_addr, {"self", "sub"})
      .method("sdk_logical_port_num", &sdk_logical_port_num, {"self", "sub"})
      .property("prim_offset", attribute<&Names::prim_offset>)
      .property("phy_id1", attribute<&Names::phy_id1>)
      .property("sys_interface", attribute<&Names::sys_interface>)
      .method("phy_type", &phy_type, {"self", "sub"})
      .method("phy_autodetect", by_sub<&Names::phy_autodetect>, {"self", "sub"})
      .method("set_leds", &set_leds, {"self", "led_port", "sub", "led_index_list"})
      .method("hw_port_num", by_sub<&Names::hw_port_num>, {"self", "sub"})
      .method("port_mac_index", &port_mac_index, {"self", "sub"})
      .property("leds", attribute<&Names::leds>)
      .property("unit", attribute<&Names::unit>)
      .property("rx_polarity_flip", attribute<&Names::rx_polarity_flip>)
      .property("tx_polarity_flip", attribute<&Names::tx_polarity_flip>)
      .method("rx_logical_polarity_flip", &rx_logical_polarity_flip, {"self", "sub"})
      .method("tx_logical_polarity_flip", &tx_logical_polarity_flip, {"self", "sub"})
      .method("td3_rx_logical_polarity_flip", &td3_rx_logical_polarity_flip,
              {"self", "port", "portmap", "sub"})
      .method("td3_tx_logical_polarity_flip", &td3_tx_logical_polarity_flip,
              {"self", "port", "portmap", "sub"})
      .property("is_fabric", attribute<&Names::is_fabric>)
      .property("create_fabric", attribute<&Names::create_fabric>)
      .property("rx_lane_map", attribute<&Names::rx_lane_map>)
      .property("tx_lane_map", attribute<&Names::tx_lane_map>)
      .property("mdi_pair_map", attribute<&Names::mdi_pair_map>)
      .property("pre_emphasis", attribute<&Names::pre_emphasis>)
      .property("drv_current", attribute<&Names::drv_current>)
      .property("pre_drv_current", attribute<&Names::pre_drv_current>)
      .property("phy_init", attribute<&Names::phy_init>)
      .property("serdes_if_type", &serdes_if_type)
      .property("ganged", &ganged)
      .property("max_gang_size", attribute<&Names::max_gang_size>)
      .property("gang_leader", &gang_leader)
      .property("an_c37", by_mode<&Names::an_c37>)
      .property("an_c73", by_mode<&Names::an_c73>)
      .method("sdk_config_intf", &sdk_config_intf, {"self", "sub", {"num_units", py::none()}})
      .property("set_fiber_pref", attribute<&Names::set_fiber_pref>)
      .property("sdk_group", attribute<&Names::sdk_group>)
      .build();

  define_class(module, "BCMConfiguredPort", "SDKConfiguredPort",
               "Broadcom port configuration implementation.")
      .build();

  define_class(module, "SDKConfiguredMappedPort", "SDKConfiguredPort")
      .attr("portmap_capable", py::bool_(true))
      .method("sdk_pbmp", &mapped_sdk_pbmp, {"self", "sub"},
              "Mapped ports are sequential based on the port_base")
      .method("sdk_intf_num", &mapped_sdk_intf_num, {"self", "sub"})
      .build();

  define_class(module, "BCMConfiguredMappedPort", "SDKConfiguredMappedPort",
               "Broadcom port remapped implementation.")
      .method("__init__", &mapped_port_init,
              {"self", "mode", "physical_port", "port_base", "mac_index",
               {"loopback", py::bool_(false)}})
      .build();

  define_class(module, "BCMConfiguredDportPort", "BCMConfiguredPort")
      .attr("portmap_capable", py::bool_(true))
      .method("__init__", &dport_init,
              {"self", "mode", "physical_port", "port_base", "if_port_base", "mac_index",
               "loopback"})
      .method("sdk_pbmp", &dport_sdk_pbmp, {"self", "sub"})
      .method("sdk_intf_num", &dport_sdk_intf_num, {"self", "sub"},
              "sequence number per unit, per if type")
      .method("sdk_unit_intf_num", &dport_sdk_unit_intf_num, {"self", "sub"})
      .method("sdk_logical_port_num", &dport_sdk_logical_port_num, {"self", "sub"})
      .build();
}

}  // namespace bringup
