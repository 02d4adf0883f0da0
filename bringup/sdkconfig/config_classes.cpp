// SDKConfig and BCMConfig, the configuration generator's classes, each
// member bound in the class's order.
#include "bringup/registrations.hpp"
#include "bringup/sdkconfig/sdkconfig_ops.hpp"

namespace bringup {

void define_config_generators(py::module_& module) {
  const py::object no = py::bool_(false);
  py::dict serdes_codes;
  serdes_codes["XGMII"] = 6;
  serdes_codes["SFI"] = 9;
  serdes_codes["XFI"] = 10;
  serdes_codes["KR"] = 11;
  serdes_codes["KR4"] = 12;
  serdes_codes["SR4"] = 28;
  define_class(module, "SDKConfig", "Config", "\n    SDK configuration implementation\n    ")
      .attr("serdes_if_type_map", serdes_codes)
      .method("__init__", &sdkconfig_init,
              {"self", "platform", {"verbose", no}, {"exploded", no}, {"dummy", no}})
      .method("config", &sdkconfig_config, {"self", "config"})
      .method("_calculate_configuration", &calculate_configuration, {"self"})
      .method("_calculate_units", &calculate_units, {"self"})
      .method("_calculate_gangs", &calculate_gangs, {"self", "ports"})
      .method("_calculate_leds", &calculate_leds, {"self"})
      .property("led_chains", &led_chains)
      .property("port_units", &port_units)
      .property("sdk_pbmp", &sdk_pbmp_text)
      .property("portmap", &portmap_text)
      .property("dportmap", &dportmap_text)
      .property("portmap_uncapable_config", &portmap_uncapable_text)
      .property("port_emphasis", &port_emphasis_text)
      .property("port_init", &port_init_text)
      .property("fiber_pref", &fiber_pref_text)
      .property("phy_an", &phy_an_text)
      .property("prim_offsets", &prim_offsets_text)
      .property("phy_id1s", &phy_id1s_text)
      .property("sys_interfaces", &sys_interfaces_text)
      .property("phys", &phys_text)
      .property("phy_addrs", &phy_addrs_text)
      .property("phytab", &phytab_text)
      .property("rcphy", &rcphy_text)
      .property("porttab", &porttab_text)
      .property("ethertab", &ethertab_text)
      .property("sfptab", &sfptab_text)
      .property("linkdefaults", &linkdefaults_text)
      .method("_linkdefaults", &linkdefaults_per_interface, {"self"})
      .method("_linkdefaults_vx", &linkdefaults_vx, {"self"})
      .method("output", &output, {"self", "configfile"})
      .method("rcports", &rcports, {"self", "unit"})
      .method("_compress_portlist", &compress_portlist_of, {"self", "portlist"})
      .property("rcled", &rcled_text)
      .property("led_asm", &led_asm)
      .property("led_hex", &led_hex)
      .build();
  define_class(module, "BCMConfig", "SDKConfig", "\n    Broadcom configuration implementation\n    ")
      .method("__init__", &bcmconfig_init,
              {"self", "platform", {"verbose", no}, {"exploded", no}, {"dummy", no}})
      .build();
}

}  // namespace bringup
