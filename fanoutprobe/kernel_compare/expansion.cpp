// Outgoing interface expansion: one kernel interface, for one group, to
// the switch-port names ("port" or "port.vlan") its traffic reaches, added
// to the working set `tmp_encaps`.
#include "common/host_calls.hpp"
#include "fanoutprobe/asic_tables/asic_operations.hpp"
#include "fanoutprobe/asic_tables/record_helpers.hpp"
#include "fanoutprobe/kernel_compare/kernel_helpers.hpp"

namespace fanoutprobe {

namespace {

// Adds each name of `members` to `encaps`, with ".<vlan>" when `tagged`.
py::object add_members(py::handle encaps, py::handle members, bool tagged, py::handle vlan) {
  SW_LET(iterator, common::steal(PyObject_GetIter(members.ptr())));
  while (PyObject* next = PyIter_Next(iterator.ptr())) {
    py::object member = common::steal(next);
    py::object name = tagged ? dotted(member, vlan)
                             : (PyUnicode_CheckExact(member.ptr()) ? member
                                                                   : common::steal(PyObject_Str(member.ptr())));
    if (!name || !add_to(encaps, name)) return {};
  }
  if (PyErr_Occurred()) return {};
  return common::none();
}

// The database ports of (bridge, vlan, group), or on a miss every member
// that `flood` names when flooding is on, or nothing.
py::object database_or_flood(py::handle self, py::handle dev, py::handle vlan, py::handle grp_mac,
                             PyObject* flood, py::handle flood_argument) {
  SW_LET(entry, common::call_method(self, names._kern_dev_get_mdb_entry, dev, vlan, grp_mac));
  if (!entry.is_none()) return common::get(entry, names.swp);
  SW_LET(flood_mdb_misses, common::get(self, names.flood_mdb_misses));
  SW_LET(flooding, common::truth(flood_mdb_misses));
  if (!flooding) return new_list();
  return common::call_method(self, flood, flood_argument);
}

}  // namespace

py::object expand_kern_vlan_aware_bridge(py::handle self, py::handle grp_mac, py::handle dev,
                                         py::handle vlan) {
  return database_or_flood(self, dev, vlan, grp_mac, names._kern_get_vlan_members, vlan);
}

py::object expand_kern_vlan_unaware_bridge(py::handle self, py::handle grp_mac, py::handle dev) {
  static const py::object& no_vlan = lasting(py::int_(-1));
  return database_or_flood(self, dev, no_vlan, grp_mac, names._kern_get_br_members, dev);
}

py::object expand_kern_bridge(py::handle self, py::handle vlan_filtering, py::handle grp,
                              py::handle dev, py::handle vlan) {
  SW_LET(grp_mac, common::call_method(self, names._grp_ip2mac, grp));
  SW_LET(filtering, common::truth(vlan_filtering));
  if (filtering)
    return common::call_method(self, names._expand_kern_vlan_aware_bridge, grp_mac, dev, vlan);
  return common::call_method(self, names._expand_kern_vlan_unaware_bridge, grp_mac, dev);
}

py::object expand_kern_dev(py::handle self, py::handle grp, py::handle orig_dev,
                           py::handle parent_vlan) {
  FANOUTPROBE_WORD(bridge, "bridge");
  FANOUTPROBE_WORD(bond, "bond");
  FANOUTPROBE_WORD(swp, "swp");
  SW_LET(resolved, common::call_method(self, names._kern_base_dev_kind_get, orig_dev, parent_vlan));
  py::object kind_dev_vlan[3];
  if (!unpack(resolved, kind_dev_vlan, 3)) return {};
  const py::object &kind = kind_dev_vlan[0], &dev = kind_dev_vlan[1], &vlan = kind_dev_vlan[2];
  SW_LET(supported, common::get(self, names._devs_supported));
  SW_LET(handled, common::contains(supported, kind));
  if (!handled) return common::none();
  SW_LET(is_bridge, is_value(kind, bridge));
  if (is_bridge) {
    SW_LET(vlan_filtering, common::call_method(self, names._kern_dev_vlan_filtering_get, dev));
    SW_LET(members, common::call_method(self, names._expand_kern_bridge, vlan_filtering, grp, dev, vlan));
    SW_LET(filtering, common::truth(vlan_filtering));
    SW_LET(encaps, common::get(self, names.tmp_encaps));
    SW_CHECK(add_members(encaps, members, filtering, vlan));
    return common::none();
  }
  SW_LET(is_bond, is_value(kind, bond));
  if (is_bond) {
    SW_LET(slaves, common::call_method(self, names._expand_kern_bond, dev));
    SW_LET(tagged, differs_from_minus_one(vlan));
    SW_LET(encaps, common::get(self, names.tmp_encaps));
    SW_CHECK(add_members(encaps, slaves, tagged, vlan));
    return common::none();
  }
  SW_LET(is_port, is_value(kind, swp));
  if (is_port) {
    SW_LET(tagged, differs_from_minus_one(vlan));
    SW_LET(name, tagged ? dotted(dev, vlan) : dev);
    SW_LET(encaps, common::get(self, names.tmp_encaps));
    if (!add_to(encaps, name)) return {};
  }
  return common::none();  // an unresolved VLAN device reaches nothing
}

}  // namespace fanoutprobe
