// The port map ("show portmap"), the port VLANs ("pvlan show"), one VLAN's
// untagged ports ("vlan show <vid>", then "ports <list>"), and the lookups
// over them.
#include "common/host_calls.hpp"
#include "fanoutprobe/asic_tables/own_records.hpp"
#include "fanoutprobe/asic_tables/lasting.hpp"
#include "fanoutprobe/asic_tables/asic_operations.hpp"
#include "fanoutprobe/asic_tables/construction_indexes.hpp"
#include "fanoutprobe/asic_tables/first_match_index.hpp"
#include "fanoutprobe/asic_tables/host_text.hpp"
#include "fanoutprobe/asic_tables/own_construction.hpp"
#include "fanoutprobe/asic_tables/record_helpers.hpp"
#include "fanoutprobe/asic_tables/shell_access.hpp"
#include "fanoutprobe/core/port_tables.hpp"
#include "fanoutprobe/names.hpp"

namespace fanoutprobe {

namespace {

const char* const kOutput = "shell output";

// pt.bcm2linux(dport); a failure of the service (an Exception) gives None.
py::object linux_name_or_none(py::handle pt, py::handle dport) {
  py::object name = common::call_method(pt, names.bcm2linux, dport);
  if (name || !PyErr_ExceptionMatches(PyExc_Exception)) return name;
  PyErr_Clear();
  return common::none();
}

}  // namespace

py::object parse_portmap(py::handle self) {
  FANOUTPROBE_TEXT(command, "show portmap");
  FANOUTPROBE_TEXT(timed_out, "show portmap timed out");
  SW_LET(output, run_shell(self, command, timed_out));
  TextView view;
  if (!view_text(output, kOutput, view)) return {};
  PortmapRead read = read_portmap(view.text);
  SW_LET(entry_class, common::get(module_handle(), names.PortmapEntry));
  for (const PortmapRow& row : read.rows) {
    SW_LET(dport, host_text(row.dport));
    SW_LET(logical_port, host_int(row.logical_port));
    SW_LET(pt, common::get(self, names.pt));
    SW_LET(linux_port, linux_name_or_none(pt, dport));
    SW_LET(entry, make_record(Record::kPortmapEntry, entry_class, dport, logical_port, linux_port));
    SW_LET(portmap, common::get(self, names.portmap));
    SW_CHECK(append_to(portmap, entry));
  }
  if (read.failure) return fail_with(read.failure);
  return common::none();
}

py::object parse_ports(py::handle self) {
  FANOUTPROBE_TEXT(command, "pvlan show");
  SW_LET(output, run_shell(self, command, command));
  TextView view;
  if (!view_text(output, kOutput, view)) return {};
  PortVlanRead read = read_port_vlans(view.text);
  const int own_code = runs_own_construction(self);
  if (own_code < 0) return {};
  PortVidScope grouped_ports(self, own_code == 1);  // keeps the per-row port map walks linear
  for (const PortVlan& row : read.rows) {
    SW_LET(dport, host_text(row.port));
    SW_LET(vlan, host_int(row.vlan));
    SW_CHECK(common::call_method(self, names._update_portmap_port_vid, dport, vlan));
  }
  if (read.failure) return fail_with(read.failure);
  return common::none();
}

py::object parse_vlan(py::handle self, py::handle vid) {
  FANOUTPROBE_TEXT(ports_prefix, "ports ");
  SW_LET(command, common::percent_text("vlan show %d", vid));
  SW_LET(output, run_shell(self, command, command));
  TextView view;
  if (!view_text(output, kOutput, view)) return {};
  VlanShowRead vlan_read = read_vlan_show(view.text);
  if (vlan_read.failure) return fail_with(vlan_read.failure);
  if (!vlan_read.found) return common::none();
  SW_LET(vlan, host_int(vlan_read.vlan));
  SW_LET(port_list, host_text(vlan_read.untagged_ports));
  SW_LET(ports_command, common::steal(PyUnicode_Concat(ports_prefix.ptr(), port_list.ptr())));
  SW_LET(ports_output, run_shell(self, ports_command, ports_command));
  TextView ports_view;
  if (!view_text(ports_output, kOutput, ports_view)) return {};
  UntaggedPortsRead ports_read = read_untagged_ports(ports_view.text);
  if (!ports_read.found) return common::none();
  SW_LET(untagged, new_list());
  for (std::string_view port : ports_read.ports) {
    SW_LET(name, host_text(port));
    if (PyList_Append(untagged.ptr(), name.ptr()) < 0) return {};
  }
  SW_LET(entry_class, common::get(module_handle(), names.VlanEntry));
  SW_LET(entry, make_record(Record::kVlanEntry, entry_class, vlan, untagged));
  SW_LET(vlans, common::get(self, names.vlans));
  if (PyObject_SetItem(vlans.ptr(), vlan.ptr(), entry.ptr()) < 0) return {};
  return common::none();
}

namespace {

// `record.update_port_vid(port_vid)` when the record is named `dport`: 1
// when it was, 0 when not, -1 with the error set.
int update_if_named(py::handle record, py::handle dport, py::handle port_vid) {
  py::object entry_dport = common::get(record, names.dport);
  if (!entry_dport) return -1;
  int same = common::equal(entry_dport, dport);
  if (same <= 0) return same;
  return common::call_method(record, names.update_port_vid, port_vid) ? 1 : -1;
}

}  // namespace

// Every record of the port map with this port name gets the VLAN.
py::object update_portmap_port_vid(py::handle self, py::handle dport, py::handle port_vid) {
  SW_LET(portmap, common::get(self, names.portmap));
  py::object named = PortVidScope::positions_named(self, portmap, dport);
  if (PyErr_Occurred()) return {};
  if (named) {
    for (Py_ssize_t i = 0; i < PyList_GET_SIZE(named.ptr()); ++i) {
      const Py_ssize_t position = PyLong_AsSsize_t(PyList_GET_ITEM(named.ptr(), i));
      py::object entry = common::borrow(PyList_GET_ITEM(portmap.ptr(), position));
      if (update_if_named(entry, dport, port_vid) < 0) return {};
      if (PortVidScope::unchanged(self, portmap, entry)) continue;
      // The call changed the port map: the walk goes on past this record.
      for (Py_ssize_t next = position + 1; next < PyList_GET_SIZE(portmap.ptr()); ++next) {
        py::object record = common::borrow(PyList_GET_ITEM(portmap.ptr(), next));
        if (update_if_named(record, dport, port_vid) < 0) return {};
      }
      break;
    }
    return common::none();
  }
  SW_LET(iterator, common::steal(PyObject_GetIter(portmap.ptr())));
  while (PyObject* next = PyIter_Next(iterator.ptr())) {
    py::object entry = common::steal(next);
    if (update_if_named(entry, dport, port_vid) < 0) return {};
  }
  if (PyErr_Occurred()) return {};
  return common::none();
}

py::object dport2logical_port(py::handle self, py::handle dport) {
  SW_LET(entry, first_portmap_entry(self, PortmapKey::kDport, dport));
  if (entry.is_none()) return common::integer(-1);
  return common::get(entry, names.logical_port);
}

py::object get_logical_port_and_pvid(py::handle self, py::handle linux_port) {
  SW_LET(entry, first_portmap_entry(self, PortmapKey::kLinuxPort, linux_port));
  if (entry.is_none()) {
    static const py::object& unknown = lasting(py::make_tuple(-1, -1));
    return unknown;
  }
  SW_LET(logical_port, common::get(entry, names.logical_port));
  SW_LET(port_vid, common::get(entry, names.port_vid));
  return common::steal(PyTuple_Pack(2, logical_port.ptr(), port_vid.ptr()));
}

py::object is_port_untagged_for_vid(py::handle self, py::handle dport, py::handle vid) {
  SW_LET(vlans, common::get(self, names.vlans));
  SW_LET(known, common::contains(vlans, vid));
  if (!known) {
    SW_CHECK(common::call_method(self, names._parse_vlan, vid));
    SW_LET(vlans_now, common::get(self, names.vlans));
    SW_LET(read, common::contains(vlans_now, vid));
    if (!read) return common::boolean(false);
    vlans = vlans_now;
  }
  SW_LET(entry, common::item(vlans, vid));
  SW_LET(untagged, common::get(entry, names.untagged_dports));
  SW_LET(member, untagged_member(self, entry, untagged, dport));
  return common::boolean(member);
}

}  // namespace fanoutprobe
