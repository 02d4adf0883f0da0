// Every attribute, method, class and module name fanoutprobe's operations
// read or call at run time, interned once at module start-up.
#pragma once

#include "common/interned_names.hpp"
#include "fanoutprobe/module_handle.hpp"

// clang-format off
#define FANOUTPROBE_NAMES(N, S) \
   N(Asic) N(EXPECTED_L3_IIF) N(Encap) N(GROUP_IP_ADDR) N(Hmroute) N(KernDevEntry) N(KernMdbCache) N(KernMdbEntry) \
   N(KernVlanDevEntry) N(KernVlanEntry) N(L3MC_INDEX) N(L3_IIF) N(PortmapEntry) \
   N(ReplicationGroup) N(SOURCE_IP_ADDR) N(VALID_0) N(VALID_1) N(VRF_ID) \
   N(VlanEntry) N(VlanXlate) N(VrfDb) \
   N(JSONDecodeError) \
   N(_devs_supported) N(_dport2logical_port) N(_dump_one_mroute) N(_evid2ivid) \
   N(_expand_kern_bond) N(_expand_kern_bridge) N(_expand_kern_dev) \
   N(_expand_kern_vlan_aware_bridge) N(_expand_kern_vlan_unaware_bridge) N(_field_dict_build) \
   N(_get_cmd_output) N(_grp_ip2mac) N(_kern_base_dev_kind_get) N(_kern_create_vlan_cache) \
   N(_kern_create_vlan_dev_cache) N(_kern_dev_cache_get) N(_kern_dev_get_mdb_entry) \
   N(_kern_dev_kind_get) N(_kern_dev_kind_parse) N(_kern_dev_vlan_filtering_get) \
   N(_kern_dev_vlan_filtering_parse) N(_kern_get_br_members) N(_kern_get_dev_vlan) \
   N(_kern_get_vlan_and_atlink) N(_kern_get_vlan_members) N(_kern_iif_to_hw_vlan) \
   N(_kern_setup_br_cache) N(_kernel_seam) N(_key_to_sip_dip) \
   N(_get_logical_port_and_pvid) N(_get_vlan_riot_memtable_name) N(_hw_vlan_to_iif) \
   N(_is_port_untagged_for_vid) N(_is_riot_enabled) N(_ivid2evid) \
   N(_parse_ipmc_table) N(_parse_l3_entry_ipmc_table) N(_parse_l3_intf) \
   N(_parse_multicast_repln_groups) N(_parse_one_multicast_repln_group) N(_parse_portmap) \
   N(_parse_ports) N(_parse_vlan) N(_parse_vlan_xlate) \
   N(_update_portmap_port_vid) \
   N(atlink) N(bcm) N(bcm2linux) N(bcm_dport) N(bcmshell) \
   N(add) N(add_port) N(desc) N(dev) N(dip) N(dport) N(encap2swp) N(entries) N(evid) N(fanoutlib) N(fields) \
   N(flood_mdb_misses) N(get) N(get_l2_linux_encaps) N(get_l3_linux_encaps) N(get_linux_ports) N(gettable) N(grp) N(iif) N(iif_mismatch) N(intf) \
   N(ivid) N(kern_br_cache) N(kern_dev_cache) N(kern_mdb_cache) N(kern_vlan_cache) \
   N(kern_vlan_cache_created) N(kern_vlan_dev_cache) N(kern_vlan_dev_cache_created) \
   N(json) N(kernel_iif) N(kind) N(listdir) N(l2_encaps) N(l3_encaps) N(l3_intfs) N(linux_port) N(linux_ports) \
   N(logical_port) N(lport) N(mcast_grp) N(mdb_entries) N(mroutes) N(oil_mismatch) \
   N(port_vid) N(portmap) N(porttab) N(pt) N(read) N(replication_groups) N(riot_enable) N(run) \
   N(sip) N(start) N(stdout) N(swp) N(sys) N(tagged_swp) N(tervane) N(timeout) N(tmp_encaps) \
   N(untagged_dports) N(untagged_swp) N(update_port_vid) N(vid) N(vlan) N(vlan_filtering) \
   N(vlan_riot) N(vlan_riot_memtable) N(vlan_xlate) N(vlans) N(vrf) N(vrf_db) N(vrf_id2name) \
   N(write) \
   S(dunder_init, "__init__") S(dunder_getattr, "__getattr__") \
   S(dunder_getattribute, "__getattribute__") S(dunder_setattr, "__setattr__") \
   S(dunder_new, "__new__")
// clang-format on

namespace fanoutprobe {

COMMON_NAME_TABLE(Names, FANOUTPROBE_NAMES)
inline Names names;

}  // namespace fanoutprobe
