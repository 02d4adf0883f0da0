// The hardware-side records: port map rows, VLAN translations, VLANs,
// replication group members, replication groups and multicast routes.
#include "common/class_builder.hpp"
#include "fanoutprobe/asic_tables/own_records.hpp"
#include "common/host_calls.hpp"
#include "fanoutprobe/asic_tables/lasting.hpp"
#include "fanoutprobe/asic_tables/record_helpers.hpp"
#include "fanoutprobe/asic_tables/registrations.hpp"
#include "fanoutprobe/names.hpp"

namespace fanoutprobe {

namespace {

py::object portmap_entry_init(py::handle self, py::handle dport, py::handle logical_port,
                              py::handle linux_port) {
  static const py::object& unset = lasting(py::int_(-1));
  SW_CHECK(common::set(self, names.dport, dport));
  SW_CHECK(common::set(self, names.logical_port, logical_port));
  SW_CHECK(common::set(self, names.linux_port, linux_port));
  SW_CHECK(common::set(self, names.port_vid, unset));
  return common::none();
}

py::object portmap_entry_update_port_vid(py::handle self, py::handle port_vid) {
  SW_CHECK(common::set(self, names.port_vid, port_vid));
  return common::none();
}

py::object portmap_entry_str(py::handle self) {
  SW_LET(dport, common::get(self, names.dport));
  SW_LET(logical_port, common::get(self, names.logical_port));
  SW_LET(linux_port, common::get(self, names.linux_port));
  SW_LET(port_vid, common::get(self, names.port_vid));
  return common::percent_text("dport: %s, lport: %d, linux_port: %s, port_vid: %d", dport,
                              logical_port, linux_port, port_vid);
}

py::object vlan_xlate_init(py::handle self, py::handle lport, py::handle ivid, py::handle evid) {
  SW_CHECK(common::set(self, names.lport, lport));
  SW_CHECK(common::set(self, names.ivid, ivid));
  SW_CHECK(common::set(self, names.evid, evid));
  return common::none();
}

py::object vlan_xlate_str(py::handle self) {
  SW_LET(lport, common::get(self, names.lport));
  SW_LET(ivid, common::get(self, names.ivid));
  SW_LET(evid, common::get(self, names.evid));
  return common::percent_text("lport: %s, ivid: %d, evid: %d", lport, ivid, evid);
}

py::object vlan_entry_init(py::handle self, py::handle vid, py::handle untagged_dports) {
  SW_CHECK(common::set(self, names.vid, vid));
  SW_CHECK(common::set(self, names.untagged_dports, untagged_dports));
  return common::none();
}

py::object vlan_entry_str(py::handle self) {
  SW_LET(vid, common::get(self, names.vid));
  SW_LET(ports, common::get(self, names.untagged_dports));
  SW_LET(joined, comma_joined(ports));
  return common::percent_text("vid: %d, untagged_ports: %s", vid, joined);
}

py::object encap_init(py::handle self, py::handle linux_port, py::handle bcm_dport,
                      py::handle intf, py::handle vlan, py::handle evid) {
  SW_CHECK(common::set(self, names.linux_port, linux_port));
  SW_CHECK(common::set(self, names.bcm_dport, bcm_dport));
  SW_CHECK(common::set(self, names.intf, intf));
  SW_CHECK(common::set(self, names.vlan, vlan));
  SW_CHECK(common::set(self, names.evid, evid));
  return common::none();
}

// The kernel's name of the member: the port, or "port.vlan" when tagged.
py::object encap2swp(py::handle self) {
  SW_LET(evid, common::get(self, names.evid));
  SW_LET(tagged, differs_from_minus_one(evid));
  SW_LET(linux_port, common::get(self, names.linux_port));
  if (!tagged) return linux_port;
  return common::percent_text("%s.%d", linux_port, evid);
}

py::object encap_str(py::handle self) {
  SW_LET(linux_port, common::get(self, names.linux_port));
  SW_LET(evid, common::get(self, names.evid));
  SW_LET(tagged, differs_from_minus_one(evid));
  if (!tagged) return common::percent_text("port: %s", linux_port);
  return common::percent_text("port: %s, vlan: %d", linux_port, evid);
}

py::object group_init(py::handle self, py::handle mcast_grp, py::handle l2_encaps,
                      py::handle l3_encaps) {
  SW_CHECK(common::set(self, names.mcast_grp, mcast_grp));
  SW_CHECK(common::set(self, names.l2_encaps, l2_encaps));
  SW_CHECK(common::set(self, names.l3_encaps, l3_encaps));
  return common::none();
}

// The set of encap2swp() of every member of one list, in list order.
py::object linux_encaps(py::handle self, PyObject* list_name) {
  SW_LET(encaps, common::get(self, list_name));
  SW_LET(result, common::steal(PySet_New(nullptr)));
  SW_LET(iterator, common::steal(PyObject_GetIter(encaps.ptr())));
  while (PyObject* encap = PyIter_Next(iterator.ptr())) {
    py::object held = common::steal(encap);
    SW_LET(name, common::call_method(held, names.encap2swp));
    if (PySet_Add(result.ptr(), name.ptr()) < 0) return {};
  }
  if (PyErr_Occurred()) return {};
  return result;
}

py::object get_l3_linux_encaps(py::handle self) { return linux_encaps(self, names.l3_encaps); }
py::object get_l2_linux_encaps(py::handle self) { return linux_encaps(self, names.l2_encaps); }

bool add_members(TextParts& text, py::handle encaps, const char* format) {
  py::object iterator = common::steal(PyObject_GetIter(encaps.ptr()));
  if (!iterator) return false;
  while (PyObject* encap = PyIter_Next(iterator.ptr())) {
    py::object held = common::steal(encap);
    if (text.add(common::percent_text(format, held)) < 0) return false;
  }
  return !PyErr_Occurred();
}

py::object group_str(py::handle self) {
  TextParts text;
  SW_LET(l3_encaps, common::get(self, names.l3_encaps));
  if (!add_members(text, l3_encaps, "  %s\n")) return {};
  SW_LET(l2_encaps, common::get(self, names.l2_encaps));
  SW_LET(has_l2, common::truth(l2_encaps));
  if (has_l2) {
    static const py::object& title = lasting(py::str("  L2 replication ports:\n"));
    SW_CHECK(text.add(title));
    if (!add_members(text, l2_encaps, "    %s\n")) return {};
  }
  return text.joined();
}

py::object hmroute_init(py::handle self, py::handle sip, py::handle dip, py::handle iif,
                        py::handle mcast_grp, py::handle vrf) {
  // The replication group of a route's group index: index | bit 25.
  static const py::object& group_bit = lasting(py::int_(0x2000000));
  SW_CHECK(common::set(self, names.sip, sip));
  SW_CHECK(common::set(self, names.dip, dip));
  SW_CHECK(common::set(self, names.iif, iif));
  SW_CHECK(common::set(self, names.kernel_iif, Py_None));
  SW_LET(grp, common::steal(PyNumber_Or(mcast_grp.ptr(), group_bit.ptr())));
  SW_CHECK(common::set(self, names.grp, grp));
  SW_LET(iif_mismatch, new_list());
  SW_CHECK(common::set(self, names.iif_mismatch, iif_mismatch));
  SW_LET(oil_mismatch, new_list());
  SW_CHECK(common::set(self, names.oil_mismatch, oil_mismatch));
  SW_CHECK(common::set(self, names.vrf, vrf));
  return common::none();
}

py::object hmroute_str(py::handle self) {
  SW_LET(vrf, common::get(self, names.vrf));
  SW_LET(sip, common::get(self, names.sip));
  SW_LET(dip, common::get(self, names.dip));
  SW_LET(kernel_iif, common::get(self, names.kernel_iif));
  SW_LET(use_kernel_iif, common::truth(kernel_iif));
  SW_LET(iif, use_kernel_iif ? kernel_iif : common::get(self, names.iif));
  TextParts text;
  SW_CHECK(text.add(common::percent_text("%s, (%s, %s), iif: %s", vrf, sip, dip, iif)));
  SW_LET(iif_mismatch, common::get(self, names.iif_mismatch));
  SW_LET(oil_mismatch, common::get(self, names.oil_mismatch));
  SW_LET(iif_errors, common::truth(iif_mismatch));
  SW_LET(oil_errors, common::truth(oil_mismatch));
  if (iif_errors || oil_errors) {
    static const py::object& title = lasting(py::str("\n  errors:"));
    SW_CHECK(text.add(title));
  }
  for (py::handle errors : {py::handle(iif_mismatch), py::handle(oil_mismatch)}) {
    if (!add_members(text, errors, "\n    %s")) return {};
  }
  return text.joined();
}

}  // namespace

void define_hardware_records(py::module_& module) {
  remember_own_class(Record::kPortmapEntry, common::ClassBuilder(module, "PortmapEntry", py::tuple(),
                       "One row of the SDK port map: SDK port name, logical port, Linux name.")
      .method("__init__", &portmap_entry_init, {"self", "dport", "logical_port", "linux_port"})
      .method("update_port_vid", &portmap_entry_update_port_vid, {"self", "port_vid"})
      .method("__str__", &portmap_entry_str, {"self"})
      .build());
  remember_own_class(Record::kVlanXlate, common::ClassBuilder(module, "VlanXlate", py::tuple(),
                       "One VLAN translation: on logical port lport, internal VLAN ivid leaves as evid.")
      .method("__init__", &vlan_xlate_init, {"self", "lport", "ivid", "evid"})
      .method("__str__", &vlan_xlate_str, {"self"})
      .build());
  remember_own_class(Record::kVlanEntry, common::ClassBuilder(module, "VlanEntry", py::tuple(),
                       "One hardware VLAN with the SDK names of its untagged ports.")
      .method("__init__", &vlan_entry_init, {"self", "vid", "untagged_dports"})
      .method("__str__", &vlan_entry_str, {"self"})
      .build());
  remember_own_class(Record::kEncap, common::ClassBuilder(module, "Encap", py::tuple(),
                       "One member of a replication group: its port, L3 interface and VLANs.")
      .method("__init__", &encap_init, {"self", "linux_port", "bcm_dport", "intf", "vlan", "evid"})
      .method("encap2swp", &encap2swp, {"self"})
      .method("__str__", &encap_str, {"self"})
      .build());
  remember_own_class(Record::kReplicationGroup, common::ClassBuilder(module, "ReplicationGroup", py::tuple(),
                       "One hardware multicast replication group with its L2 and L3 members.")
      .method("__init__", &group_init, {"self", "mcast_grp", "l2_encaps", "l3_encaps"})
      .method("get_l3_linux_encaps", &get_l3_linux_encaps, {"self"})
      .method("get_l2_linux_encaps", &get_l2_linux_encaps, {"self"})
      .method("__str__", &group_str, {"self"})
      .build());
  remember_own_class(Record::kHmroute, common::ClassBuilder(module, "Hmroute", py::tuple(),
                       "One hardware IPv4 multicast route with the differences found for it.")
      .method("__init__", &hmroute_init, {"self", "sip", "dip", "iif", "mcast_grp", "vrf"})
      .method("__str__", &hmroute_str, {"self"})
      .build());
}

}  // namespace fanoutprobe
