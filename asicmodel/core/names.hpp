// Every attribute, method and class name asicmodel's operations read or
// call at run time, interned once at module start-up.
#pragma once

#include "common/interned_names.hpp"

// clang-format off
#define ASICMODEL_NAMES(N, S) \
   N(Apollo10GPort) N(Apollo1GPort) N(ApolloChip) N(ApolloPort) \
   N(BCMChip) N(BCMPort) N(BCMSwitch) N(Helix410GPort) \
   N(Helix41GPort) N(Helix4Chip) N(Helix4Port) N(Hurricane210GPort) \
   N(Hurricane213GFabricPort) N(Hurricane213GPort) N(Hurricane21GPort) N(Hurricane2Chip) \
   N(Hurricane2Port) N(Maverick100GPort) N(Maverick10GFabricPort) N(Maverick10GPort) \
   N(Maverick40GFabricPort) N(Maverick40GPort) N(MaverickChip) N(MaverickPort) \
   N(Maverick_56762_Chip) N(Maverick_56768_Chip) N(NoSuchChip) N(NoSuchMode) \
   N(NoSuchPlatform) N(Platform) N(Port) N(SDKChip) \
   N(SDKPort) N(SDKSwitch) N(Tomahawk100GFabricPort) N(Tomahawk100GPort) \
   N(Tomahawk25GPort) N(TomahawkChip) N(TomahawkMgmt10GPort) N(TomahawkPlusChip) \
   N(TomahawkPlus_56965_Chip) N(TomahawkPlus_56967_Chip) N(TomahawkPort) N(TomahawkTwo100GPort) \
   N(TomahawkTwoChip) N(TomahawkTwoPort) N(TomahawkTwo_56970_Chip) N(Trident10GPort) \
   N(Trident40GPort) N(TridentChip) N(TridentPlusChip) N(TridentPort) \
   N(TridentThree100GPort) N(TridentThree10GPort) N(TridentThree25GPort) N(TridentThreeMGPort) \
   N(TridentThreePort) N(TridentThreeX5Chip) N(TridentThreeX5_56771_Chip) N(TridentThreeX7Chip) \
   N(TridentThreeX7_56870_Chip) N(TridentThreeX7_56873_Chip) N(TridentTwo10GFabricPort) N(TridentTwo10GPort) \
   N(TridentTwo40GPort) N(TridentTwoChip) N(TridentTwoPlus10GPort) N(TridentTwoPlus40GPort) \
   N(TridentTwoPlusChip) N(TridentTwoPlusPort) N(TridentTwoPlus_56860_Chip) N(TridentTwoPlus_56864_Chip) \
   N(TridentTwoPort) N(TridentTwo_56850_Chip) N(TridentTwo_56854_Chip) N(Triumph10GPort) \
   N(Triumph1GPort) N(TriumphChip) N(TriumphPort) N(_autodetect_phys) \
   N(_check_mode) N(_serdes_intf_map) N(_speed_map) N(adj_label) \
   N(an_c37) N(an_c73) N(autoneg_pref) N(base_hw_intf_num) \
   N(base_pbmp) N(bcm_config_path) N(bcm_pn) N(blocked_adj_split) \
   N(blocked_adj_split_num) N(chip) N(chip_config_path) N(chip_dir_list) \
   N(close) N(complete_mode) N(config) N(config_map) \
   N(configurable) N(create_fabric) N(decode) N(default_mode) \
   N(disable) N(disable_prefix_xlate) N(dport_capable) N(drv_current) \
   N(exists) N(file_list) N(file_name) N(find_port) \
   N(gang_modes) N(get_config) N(has_phy_ucode_mdio) N(has_phy_ucode_spi_rom) \
   N(hsp_bw) N(hw_desc) N(hw_intf) N(hw_intf_num) \
   N(hw_intf_num_portmap) N(hw_intf_prefix) N(hw_pbmp) N(hw_port) \
   N(hw_port_num) N(hw_ports) N(initial_path) N(insert) \
   N(ipv4_host_table_size) N(is_acpi) N(is_fabric) N(label) \
   N(led_controllers) N(led_index_list) N(led_port) N(led_port_num) \
   N(leds) N(logical_port_num) N(lower) N(mac_addrs_contrib_total) \
   N(mac_index) N(max_gang_size) N(max_logical_ports) N(mdi_pair_map) \
   N(min) N(mixed_oversub) N(mode) N(modes) \
   N(name_override) N(needs_lane_config) N(num_lanes) N(num_logical_ports) \
   N(num_phys) N(num_physical_ports) N(open) N(os) \
   N(oversub) N(path) N(pbmp_map) N(pci_device) \
   N(pci_vendor) N(phy_addr) N(phy_addrs) N(phy_autodetect) \
   N(phy_id1) N(phy_init) N(phy_layer) N(phy_type) \
   N(phy_types) N(platforms) N(polarity_flip) N(polarity_flip_list) \
   N(polarity_flip_val) N(pop) N(port_base) N(port_channel_type_map) \
   N(port_mac_index) N(port_mangler) N(portmap_capable) N(ports) \
   N(pre_drv_current) N(pre_emphasis) N(prim_offset) N(probe) \
   N(read) N(reversed) N(rx_lane_map) N(rx_logical_polarity_flip) \
   N(rx_polarity_flip) N(sdk_group) N(serdes) N(serdes_if_type) \
   N(set_fiber_pref) N(set_leds) N(sfp) N(speed) \
   N(startswith) N(sub) N(sw_base) S(switch_, "switch") \
   N(sys_interface) N(tervane) N(tx_lane_map) N(tx_logical_polarity_flip) \
   N(tx_polarity_flip) N(unit) N(use_dynamic_sensors) \
  S(dunder_init, "__init__") S(dunder_name, "__name__") S(dunder_iter, "__iter__")
// clang-format on

namespace asicmodel {

COMMON_NAME_TABLE(Names, ASICMODEL_NAMES)

// Filled by `names.intern()` when the module starts.
inline Names names;

}  // namespace asicmodel
