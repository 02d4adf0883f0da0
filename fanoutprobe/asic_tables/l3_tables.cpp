// L3 interfaces ("l3 intf show"), VLAN translations ("vlan translate
// show") and the translations between internal and egress VLANs.
#include "common/host_calls.hpp"
#include "fanoutprobe/asic_tables/own_records.hpp"
#include "fanoutprobe/asic_tables/asic_operations.hpp"
#include "fanoutprobe/asic_tables/first_match_index.hpp"
#include "fanoutprobe/asic_tables/host_text.hpp"
#include "fanoutprobe/asic_tables/record_helpers.hpp"
#include "fanoutprobe/asic_tables/shell_access.hpp"
#include "fanoutprobe/core/l3_tables.hpp"
#include "fanoutprobe/names.hpp"

namespace fanoutprobe {

py::object parse_l3_intf(py::handle self) {
  FANOUTPROBE_TEXT(command, "l3 intf show");
  SW_LET(output, run_shell(self, command, command));
  TextView view;
  if (!view_text(output, "shell output", view)) return {};
  L3IntfRead read = read_l3_intfs(view.text);
  for (const L3IntfRow& row : read.rows) {
    SW_LET(intf, host_int(row.intf));
    SW_LET(vlan, host_int(row.vlan));
    SW_LET(l3_intfs, common::get(self, names.l3_intfs));
    if (PyObject_SetItem(l3_intfs.ptr(), intf.ptr(), vlan.ptr()) < 0) return {};
  }
  if (read.failure) return fail_with(read.failure);
  return common::none();
}

py::object parse_vlan_xlate(py::handle self) {
  FANOUTPROBE_TEXT(command, "vlan translate show");
  SW_LET(output, run_shell(self, command, command));
  TextView view;
  if (!view_text(output, "shell output", view)) return {};
  XlateRead read = read_vlan_translations(view.text);
  SW_LET(xlate_class, common::get(module_handle(), names.VlanXlate));
  for (const XlateRow& row : read.rows) {
    SW_LET(lport, host_int(row.lport));
    SW_LET(ivid, host_int(row.ivid));
    SW_LET(evid, host_int(row.evid));
    SW_LET(record, make_record(Record::kVlanXlate, xlate_class, lport, ivid, evid));
    SW_LET(vlan_xlate, common::get(self, names.vlan_xlate));
    SW_CHECK(append_to(vlan_xlate, record));
  }
  if (read.failure) return fail_with(read.failure);
  return common::none();
}

// The VLAN the port sends `ivid` with: its translation, -1 when the port
// sends it untagged, else `ivid`; `ivid` alone for a port the map lacks.
py::object ivid2evid(py::handle self, py::handle dport, py::handle ivid) {
  SW_LET(logical_port, common::call_method(self, names._dport2logical_port, dport));
  SW_LET(known, differs_from_minus_one(logical_port));
  if (!known) return common::borrow(ivid.ptr());
  SW_LET(record, first_vlan_xlate(self, XlateKey::kIvid, logical_port, ivid));
  if (!record.is_none()) return common::get(record, names.evid);
  SW_LET(answer, common::call_method(self, names._is_port_untagged_for_vid, dport, ivid));
  SW_LET(untagged, common::truth(answer));
  return untagged ? common::integer(-1) : common::borrow(ivid.ptr());
}

py::object evid2ivid(py::handle self, py::handle logical_port, py::handle evid) {
  SW_LET(record, first_vlan_xlate(self, XlateKey::kEvid, logical_port, evid));
  if (record.is_none()) return common::integer(-1);
  return common::get(record, names.ivid);
}

}  // namespace fanoutprobe
