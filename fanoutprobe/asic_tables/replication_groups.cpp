// The replication groups of "multicast show": each group's members as
// Encap records, L2 (encap id -1) and L3 apart, in `replication_groups`.
#include "common/host_calls.hpp"
#include "fanoutprobe/asic_tables/own_records.hpp"
#include "fanoutprobe/asic_tables/lasting.hpp"
#include "fanoutprobe/asic_tables/asic_operations.hpp"
#include "fanoutprobe/asic_tables/first_match_index.hpp"
#include "fanoutprobe/asic_tables/host_text.hpp"
#include "fanoutprobe/asic_tables/own_construction.hpp"
#include "fanoutprobe/asic_tables/record_helpers.hpp"
#include "fanoutprobe/asic_tables/shell_access.hpp"
#include "fanoutprobe/core/replication_groups.hpp"
#include "fanoutprobe/names.hpp"

namespace fanoutprobe {

namespace {

py::object member_encap(py::handle self, py::handle encap_class, const GroupMember& member) {
  static const py::object& unset = lasting(py::int_(-1));
  SW_LET(port, host_text(member.port));
  if (member.intf == -1) {
    SW_LET(pt, common::get(self, names.pt));
    SW_LET(linux_port, common::call_method(pt, names.bcm2linux, port));
    return make_record(Record::kEncap, encap_class, linux_port, port, unset, unset, unset);
  }
  SW_LET(intf, host_int(member.intf));
  SW_LET(l3_intfs, common::get(self, names.l3_intfs));
  SW_LET(vlan, common::call_method(l3_intfs, names.get, intf, unset));
  SW_LET(evid, common::call_method(self, names._ivid2evid, port, vlan));
  SW_LET(pt, common::get(self, names.pt));
  SW_LET(linux_port, common::call_method(pt, names.bcm2linux, port));
  return make_record(Record::kEncap, encap_class, linux_port, port, intf, vlan, evid);
}

}  // namespace

py::object parse_multicast_repln_groups(py::handle self) {
  FANOUTPROBE_TEXT(command, "multicast show");
  SW_LET(output, run_shell(self, command, command));
  TextView view;
  if (!view_text(output, "shell output", view)) return {};
  // Every L3 member looks its port up in the port map and the VLAN
  // translations; indexes kept for this read keep it linear.
  const int own_code = runs_own_construction(self);
  if (own_code < 0) return {};
  LookupIndexScope indexes(self, own_code == 1);
  for (std::string_view block : split_group_blocks(view.text)) {
    SW_LET(block_text, host_text(block));
    SW_CHECK(common::call_method(self, names._parse_one_multicast_repln_group, block_text));
  }
  return common::none();
}

py::object parse_one_multicast_repln_group(py::handle self, py::handle dispStr) {
  TextView view;
  if (!view_text(dispStr, "dispStr", view)) return {};
  GroupRead read = read_group_block(view.text);
  SW_LET(encap_class, common::get(module_handle(), names.Encap));
  SW_LET(l2_encaps, new_list());
  SW_LET(l3_encaps, new_list());
  for (const GroupMember& member : read.members) {
    SW_LET(encap, member_encap(self, encap_class, member));
    if (PyList_Append(member.intf == -1 ? l2_encaps.ptr() : l3_encaps.ptr(), encap.ptr()) < 0)
      return {};
  }
  if (read.failure) return fail_with(read.failure);
  if (!read.record) return common::none();
  SW_LET(id, host_int(read.id));
  SW_LET(group_class, common::get(module_handle(), names.ReplicationGroup));
  SW_LET(group, make_record(Record::kReplicationGroup, group_class, id, l2_encaps, l3_encaps));
  SW_LET(groups, common::get(self, names.replication_groups));
  if (PyObject_SetItem(groups.ptr(), id.ptr(), group.ptr()) < 0) return {};
  return common::none();
}

}  // namespace fanoutprobe
