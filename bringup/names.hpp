// Every attribute, method and module-level name bringup's operations read
// or call at run time, interned once at module start-up.
#pragma once

#include "common/interned_names.hpp"

// clang-format off
#define BRINGUP_NAMES(N, S) \
   N(BCMConfiguredPort) N(Boardinfo) N(CalledProcessError) N(Config) N(Conformer) \
   N(ConfiguredPort) N(IPRoute2) N(Ifmaker) N(LOG_ERR) N(SDKConfiguredMappedPort) \
   N(SDKConfiguredPort) N(UnsupportedPlatformError) N(_complete_modes) N(_compress_portlist) N(_knet_link_file) \
   N(adj_label) N(an_c37) N(an_c73) N(append) N(autoneg_pref) N(base_hw_intf_num) N(bcm_config_path) N(blocked_adj_split_num) \
   N(chip) N(clear) N(complete_mode) N(config) N(config_map) N(conformer) N(copy) \
   N(create_fabric) N(datapath_conf) N(default_mode) N(disable_prefix_xlate) N(drv_current) \
   N(dummy) N(eeprom) N(exit) N(exploded) N(find_hw_port) N(find_port) N(gang_label) N(gang_leader) \
   N(gang_modes) N(ganged) N(ganged_ports) N(get_config) N(hw_desc) N(hw_intf_num) \
   N(hw_intf_num_portmap) N(hw_intf_prefix) N(hw_pbmp) N(hw_port_num) N(hw_ports) \
   N(if_port_base) N(ifmaker) N(iproute2) N(is_fabric) N(isdir) N(label) N(leds) \
   N(linux_prefix) N(logical_port_num) N(loopback) N(mac_index) N(macaddr) N(macbase) \
   N(macmode) N(macrange) N(makemacaddr) N(max_gang_size) N(max_logical_ports) \
   N(mdi_pair_map) N(mkdir) N(mode) N(name_override) N(num_lanes) N(num_logical_ports) \
   N(num_phys) N(num_physical_ports) N(os) N(oversub) N(path) N(phy_addrs) \
   N(phy_autodetect) N(phy_id1) N(phy_init) N(phy_layer) N(phy_types) N(physical_port) \
   N(platform) N(port_base) N(port_mac_index) N(portmap_capable) N(ports) \
   N(portwriteerrors) N(pre_drv_current) N(pre_emphasis) N(prim_offset) N(rc_forwarding) \
   N(remove) N(riot) N(run) N(rx_lane_map) N(rx_logical_polarity_flip) N(rx_polarity_flip) \
   N(sdk_bcm) N(sdk_group) N(sdk_intf) N(sdk_intf_num) N(sdk_intf_prefix) \
   N(sdk_logical_port_num) N(serdes_if_type) N(set_fiber_pref) N(set_leds) N(setmac) \
   N(shutil) N(speed) N(split) N(startswith) N(stdout) N(subprocess) N(sw_base) N(sys) N(sys_interface) \
   N(syslog) N(tervane) N(tracebacklimit) N(tx_lane_map) N(tx_logical_polarity_flip) \
   N(tx_polarity_flip) N(uft) N(unit) N(verbose) N(write) \
   N(_calculate_configuration) N(_calculate_gangs) N(_calculate_leds) N(_calculate_units) N(_led_programs) N(_linkdefaults) N(_linkdefaults_vx) N(LOG_INFO) N(SDKConfig) N(BCMConfiguredDportPort) N(TridentThreeX7_56870_Chip) N(TridentThreeX7_56873_Chip) N(TridentThreeX5_56771_Chip) N(TomahawkTwo_56970_Chip) N(accessmethod) N(address) N(base_pbmp) N(configurable) N(configure) N(dport_capable) N(dportmap) N(enable_auto_neg) N(environ) N(ethertab) N(fiber_pref) N(find) N(get) N(glimmer) N(has_phy_ucode_mdio) N(has_phy_ucode_spi_rom) N(hex) N(led_controllers) N(led_memory_init_commands) N(linkdefaults) N(mac_addrs_contrib_total) N(mapped_portnums) N(mixed_oversub) N(name) N(needs_lane_config) N(phy_addr) N(phy_an) N(phy_id1s) N(phys) N(phytab) N(port_emphasis) N(port_init) N(port_mangler) N(portmap) N(portmap_uncapable_config) N(porttab) N(prim_offsets) N(rcled) N(rcphy) N(rcports) N(read_config) N(sdk_config_intf) N(sdk_pbmp) N(sfp) N(sfptab) N(strip) N(sys_interfaces) N(td3_rx_logical_polarity_flip) N(td3_tx_logical_polarity_flip) N(type) N(units) \
   N(sdk_unit_intf_num) N(set_macmode) N(serdes_if_type_map) N(phy_type) N(linux_port_name) N(maketap) N(makekernnet) N(destroyints) \
   S(switch_, "switch") S(asm_, "asm") S(dunder_name, "__name__") S(dunder_init, "__init__") S(dunder_module, "__module__") S(debug, "debug")
// clang-format on

namespace bringup {

COMMON_NAME_TABLE(Names, BRINGUP_NAMES)

// Filled by `names.intern()` when the module starts.
inline Names names;

}  // namespace bringup
