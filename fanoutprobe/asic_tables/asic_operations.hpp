// The operations of Asic, one small function each, grouped by the file
// that holds them; asic_class.cpp binds them in the class's order.
#pragma once

#include <pybind11/pybind11.h>

namespace fanoutprobe {

namespace py = pybind11;

// asic_class.cpp: construction
py::object asic_init(py::handle self, py::handle use_mem_table);
py::object is_1G_chip(py::handle self);

// port_tables.cpp: port map and port VLAN membership
py::object parse_portmap(py::handle self);
py::object parse_ports(py::handle self);
py::object parse_vlan(py::handle self, py::handle vid);
py::object update_portmap_port_vid(py::handle self, py::handle dport, py::handle port_vid);
py::object dport2logical_port(py::handle self, py::handle dport);
py::object get_logical_port_and_pvid(py::handle self, py::handle linux_port);
py::object is_port_untagged_for_vid(py::handle self, py::handle dport, py::handle vid);

// l3_tables.cpp: L3 interfaces and VLAN translation
py::object parse_l3_intf(py::handle self);
py::object parse_vlan_xlate(py::handle self);
py::object ivid2evid(py::handle self, py::handle dport, py::handle ivid);
py::object evid2ivid(py::handle self, py::handle logical_port, py::handle evid);

// route_tables.cpp: IPv4 multicast routes
py::object parse_ipmc_table(py::handle self);
py::object parse_l3_entry_ipmc_table(py::handle self);
py::object field_dict_build(py::handle self, py::handle entry);

// replication_groups.cpp
py::object parse_one_multicast_repln_group(py::handle self, py::handle dispStr);
py::object parse_multicast_repln_groups(py::handle self);

// ingress_lookup.cpp: RIOT
py::object get_vlan_riot_memtable_name(py::handle self);
py::object is_riot_enabled(py::handle self);
py::object hw_vlan_to_iif(py::handle self, py::handle iif_vlan);

// kernel_compare/kernel_access.cpp: the kernel command runner (a static method)
py::object get_cmd_output(py::handle cmdList, py::handle dispStr);

// kernel_compare/device_cache.cpp: device kinds, VLAN filtering, bond slaves
py::object kern_dev_kind_parse(py::handle self, py::handle dev);
py::object kern_dev_vlan_filtering_parse(py::handle self, py::handle dev);
py::object kern_dev_cache_get(py::handle self, py::handle dev);
py::object kern_dev_vlan_filtering_get(py::handle self, py::handle dev);
py::object kern_dev_kind_get(py::handle self, py::handle dev);
py::object expand_kern_bond(py::handle self, py::handle dev);

// kernel_compare/vlan_state.cpp: bridge VLANs, VLAN devices, base devices
py::object kern_create_vlan_cache(py::handle self);
py::object kern_get_vlan_members(py::handle self, py::handle vid);
py::object kern_create_vlan_dev_cache(py::handle self);
py::object kern_get_vlan_and_atlink(py::handle self, py::handle dev);
py::object kern_get_dev_vlan(py::handle self, py::handle dev, py::handle kind,
                             py::handle parent_vlan);
py::object kern_base_dev_kind_get(py::handle self, py::handle orig_dev, py::handle parent_vlan);

// kernel_compare/bridge_state.cpp: bridge members and multicast database
py::object grp_ip2mac(py::handle self, py::handle grp);
py::object kern_setup_br_cache(py::handle self, py::handle dev);
py::object kern_get_br_members(py::handle self, py::handle dev);
py::object kern_dev_get_mdb_entry(py::handle self, py::handle orig_dev, py::handle orig_vlan,
                                  py::handle orig_grp);

// kernel_compare/expansion.cpp: outgoing interface expansion
py::object expand_kern_vlan_aware_bridge(py::handle self, py::handle grp_mac, py::handle dev,
                                         py::handle vlan);
py::object expand_kern_vlan_unaware_bridge(py::handle self, py::handle grp_mac, py::handle dev);
py::object expand_kern_bridge(py::handle self, py::handle vlan_filtering, py::handle grp,
                              py::handle dev, py::handle vlan);
py::object expand_kern_dev(py::handle self, py::handle grp, py::handle orig_dev,
                           py::handle parent_vlan);

// kernel_compare/route_compare.cpp: route comparison
py::object key_to_sip_dip(py::handle self, py::handle key);
py::object kern_iif_to_hw_vlan(py::handle self, py::handle base_kind, py::handle base_iif,
                               py::handle iif_vlan, py::handle member);
py::object mroute_eq(py::handle self, py::handle key, py::handle iif, py::handle oil);

// kernel_compare/route_report.cpp: route listing and report
py::object asic_str(py::handle self);
py::object dump_one_mroute(py::handle self, py::handle mroute);
py::object get_mroutes(py::handle self);
py::object dump_mroutes(py::handle self, py::handle filter_mroutes);

}  // namespace fanoutprobe
