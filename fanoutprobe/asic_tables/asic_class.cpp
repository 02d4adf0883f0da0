// Asic: the multicast checker's state for one switch. The constructor
// builds the three outside services and reads every ASIC table, in a fixed
// order; the class binds every operation in the order the class lists them.
#include "common/class_builder.hpp"
#include "common/host_calls.hpp"
#include "fanoutprobe/asic_tables/lasting.hpp"
#include "fanoutprobe/asic_tables/asic_operations.hpp"
#include "fanoutprobe/asic_tables/own_construction.hpp"
#include "fanoutprobe/asic_tables/record_helpers.hpp"
#include "fanoutprobe/asic_tables/registrations.hpp"
#include "fanoutprobe/asic_tables/shell_access.hpp"
#include "fanoutprobe/names.hpp"

namespace fanoutprobe {

namespace {

const char* const kAsicDoc =
    "The multicast checker's state for one switch: the ASIC's tables read\n"
    "through the SDK shell at construction, the kernel caches filled on first\n"
    "use, and the hardware routes with the differences found for them.";

const char* const kAsicInitDoc =
    "use_mem_table - read the routes from the L3 multicast memory dump\n"
    "                instead of the route listing (slower)";

py::object set_new(py::handle self, PyObject* name, PyObject* value) {
  py::object held = common::steal(value);
  if (!held || common::set(self, name, held) < 0) return {};
  return common::none();
}

// `tervane.<module>.<cls>()`, every name looked up now.
py::object service(PyObject* module_name, PyObject* class_name) {
  SW_LET(tervane, common::get(module_handle(), names.tervane));
  SW_LET(module, common::get(tervane, module_name));
  SW_LET(cls, common::get(module, class_name));
  return common::call(cls);
}

}  // namespace

py::object asic_init(py::handle self, py::handle use_mem_table) {
  FANOUTPROBE_TEXT(desc, "asic");
  static const py::object& shell_timeout = lasting(py::int_(180));
  static const py::object& timeout_keyword =
      lasting(py::make_tuple(py::reinterpret_borrow<py::object>(names.timeout)));
  SW_CHECK(common::set(self, names.desc, desc));
  SW_LET(pt, service(names.porttab, names.porttab));
  SW_CHECK(common::set(self, names.pt, pt));
  SW_LET(vrf_db, service(names.fanoutlib, names.VrfDb));
  SW_CHECK(common::set(self, names.vrf_db, vrf_db));
  // With the shell module absent the global is None: AttributeError here.
  SW_LET(shell_module, common::get(module_handle(), names.bcmshell));
  SW_LET(shell_class, common::get(shell_module, names.bcmshell));
  SW_LET(bcm, common::call_with_keywords(shell_class, {shell_timeout}, timeout_keyword.ptr()));
  SW_CHECK(common::set(self, names.bcm, bcm));
  SW_LET(linux_ports, common::call_method(pt, names.get_linux_ports));
  SW_CHECK(common::set(self, names.linux_ports, linux_ports));
  SW_CHECK(set_new(self, names.kern_dev_cache, PyDict_New()));
  SW_CHECK(set_new(self, names.kern_mdb_cache, PyDict_New()));
  SW_CHECK(common::set(self, names.flood_mdb_misses, Py_True));
  SW_CHECK(common::set(self, names.kern_vlan_cache_created, Py_False));
  SW_CHECK(set_new(self, names.kern_vlan_cache, PyDict_New()));
  SW_CHECK(common::set(self, names.kern_vlan_dev_cache_created, Py_False));
  SW_CHECK(set_new(self, names.kern_vlan_dev_cache, PyDict_New()));
  SW_CHECK(set_new(self, names.kern_br_cache, PyDict_New()));
  SW_CHECK(set_new(self, names.portmap, PyList_New(0)));
  SW_CHECK(common::call_method(self, names._parse_portmap));
  SW_CHECK(common::call_method(self, names._parse_ports));
  SW_CHECK(set_new(self, names.l3_intfs, PyDict_New()));
  SW_CHECK(common::call_method(self, names._parse_l3_intf));
  SW_CHECK(set_new(self, names.vlan_xlate, PyList_New(0)));
  SW_CHECK(common::call_method(self, names._parse_vlan_xlate));
  SW_CHECK(set_new(self, names.vlan_riot, PyDict_New()));
  SW_LET(riot_enable, common::call_method(self, names._is_riot_enabled));
  SW_CHECK(common::set(self, names.riot_enable, riot_enable));
  SW_LET(memtable, common::call_method(self, names._get_vlan_riot_memtable_name));
  SW_CHECK(common::set(self, names.vlan_riot_memtable, memtable));
  SW_CHECK(set_new(self, names.vlans, PyDict_New()));
  SW_CHECK(set_new(self, names.replication_groups, PyDict_New()));
  SW_CHECK(common::call_method(self, names._parse_multicast_repln_groups));
  SW_CHECK(set_new(self, names.mroutes, PyDict_New()));
  SW_LET(from_memory, common::truth(use_mem_table));
  SW_CHECK(common::call_method(
      self, from_memory ? names._parse_l3_entry_ipmc_table : names._parse_ipmc_table));
  return common::none();
}

py::object is_1G_chip(py::handle self) {
  FANOUTPROBE_TEXT(command, "show unit");
  FANOUTPROBE_TEXT(timed_out, "show unit timed out");
  FANOUTPROBE_TEXT(one_gig_part, "56340");
  SW_LET(output, run_shell(self, command, timed_out));
  SW_LET(found, common::contains(output, one_gig_part));
  return common::boolean(found);
}

void define_asic(py::module_& module) {
  py::object asic_class = common::ClassBuilder(module, "Asic", py::tuple(), kAsicDoc)
      .attr("_devs_supported", py::make_tuple("bridge", "bond", "vlan", "swp"))
      .method("__init__", &asic_init, {"self", {"use_mem_table", py::bool_(false)}}, kAsicInitDoc)
      .method("__str__", &asic_str, {"self"})
      .staticmethod("_get_cmd_output", &get_cmd_output, {"cmdList", {"dispStr", py::none()}})
      .method("_is_1G_chip", &is_1G_chip, {"self"})
      .method("_key_to_sip_dip", &key_to_sip_dip, {"self", "key"})
      .method("_parse_portmap", &parse_portmap, {"self"})
      .method("_parse_ports", &parse_ports, {"self"})
      .method("_parse_vlan", &parse_vlan, {"self", "vid"})
      .method("_parse_l3_intf", &parse_l3_intf, {"self"})
      .method("_parse_ipmc_table", &parse_ipmc_table, {"self"})
      .method("_parse_vlan_xlate", &parse_vlan_xlate, {"self"})
      .method("_parse_l3_entry_ipmc_table", &parse_l3_entry_ipmc_table, {"self"})
      .method("_parse_one_multicast_repln_group", &parse_one_multicast_repln_group,
              {"self", "dispStr"})
      .method("_parse_multicast_repln_groups", &parse_multicast_repln_groups, {"self"})
      .method("_field_dict_build", &field_dict_build, {"self", "entry"})
      .method("_update_portmap_port_vid", &update_portmap_port_vid, {"self", "dport", "port_vid"})
      .method("_dport2logical_port", &dport2logical_port, {"self", "dport"})
      .method("_get_logical_port_and_pvid", &get_logical_port_and_pvid, {"self", "linux_port"})
      .method("_is_port_untagged_for_vid", &is_port_untagged_for_vid, {"self", "dport", "vid"})
      .method("_ivid2evid", &ivid2evid, {"self", "dport", "ivid"})
      .method("_evid2ivid", &evid2ivid, {"self", "logical_port", "evid"})
      .method("_grp_ip2mac", &grp_ip2mac, {"self", "grp"})
      .method("_kern_create_vlan_cache", &kern_create_vlan_cache, {"self"})
      .method("_kern_get_vlan_members", &kern_get_vlan_members, {"self", "vid"})
      .method("_kern_create_vlan_dev_cache", &kern_create_vlan_dev_cache, {"self"})
      .method("_kern_get_vlan_and_atlink", &kern_get_vlan_and_atlink, {"self", "dev"})
      .method("_kern_setup_br_cache", &kern_setup_br_cache, {"self", "dev"})
      .method("_kern_get_br_members", &kern_get_br_members, {"self", "dev"})
      .method("_kern_dev_get_mdb_entry", &kern_dev_get_mdb_entry,
              {"self", "orig_dev", "orig_vlan", "orig_grp"})
      .method("_kern_dev_kind_parse", &kern_dev_kind_parse, {"self", "dev"})
      .method("_kern_dev_vlan_filtering_parse", &kern_dev_vlan_filtering_parse, {"self", "dev"})
      .method("_kern_dev_cache_get", &kern_dev_cache_get, {"self", "dev"})
      .method("_kern_dev_vlan_filtering_get", &kern_dev_vlan_filtering_get, {"self", "dev"})
      .method("_kern_dev_kind_get", &kern_dev_kind_get, {"self", "dev"})
      .method("_kern_get_dev_vlan", &kern_get_dev_vlan,
              {"self", "dev", "kind", {"parent_vlan", py::int_(-1)}})
      .method("_kern_base_dev_kind_get", &kern_base_dev_kind_get,
              {"self", "orig_dev", {"parent_vlan", py::int_(-1)}})
      .method("_expand_kern_vlan_aware_bridge", &expand_kern_vlan_aware_bridge,
              {"self", "grp_mac", "dev", "vlan"})
      .method("_expand_kern_vlan_unaware_bridge", &expand_kern_vlan_unaware_bridge,
              {"self", "grp_mac", "dev"})
      .method("_expand_kern_bridge", &expand_kern_bridge,
              {"self", "vlan_filtering", "grp", "dev", "vlan"})
      .method("_expand_kern_bond", &expand_kern_bond, {"self", "dev"})
      .method("_expand_kern_dev", &expand_kern_dev,
              {"self", "grp", "orig_dev", {"parent_vlan", py::int_(-1)}})
      .method("_get_vlan_riot_memtable_name", &get_vlan_riot_memtable_name, {"self"})
      .method("_is_riot_enabled", &is_riot_enabled, {"self"})
      .method("_hw_vlan_to_iif", &hw_vlan_to_iif, {"self", "iif_vlan"})
      .method("_kern_iif_to_hw_vlan", &kern_iif_to_hw_vlan,
              {"self", "base_kind", "base_iif", "iif_vlan", "member"})
      .method("_dump_one_mroute", &dump_one_mroute, {"self", "mroute"})
      .method("mroute_eq", &mroute_eq, {"self", "key", "iif", "oil"})
      .method("get_mroutes", &get_mroutes, {"self"})
      .method("dump_mroutes", &dump_mroutes, {"self", {"filter_mroutes", py::none()}})
      .build();
  remember_own_asic(asic_class);
}

}  // namespace fanoutprobe
