// RIOT: whether L3 ingress interfaces differ from VLAN ids, which memory
// table maps one to the other, and the cached per-VLAN lookup.
#include "common/host_calls.hpp"
#include "fanoutprobe/asic_tables/lasting.hpp"
#include "fanoutprobe/asic_tables/asic_operations.hpp"
#include "fanoutprobe/asic_tables/host_text.hpp"
#include "fanoutprobe/asic_tables/shell_access.hpp"
#include "fanoutprobe/core/text_scan.hpp"
#include "fanoutprobe/names.hpp"

namespace fanoutprobe {

py::object is_riot_enabled(py::handle self) {
  FANOUTPROBE_TEXT(command, "sc L3IngressMode");
  FANOUTPROBE_TEXT(timed_out, "sc L3IngressMode timed out");
  SW_LET(output, run_shell(self, command, timed_out));
  TextView view;
  if (!view_text(output, "shell output", view)) return {};
  Number mode = hexadecimal(strip(view.text));
  if (mode.failure) return fail_with(mode.failure);
  return common::boolean(mode.value != 0);
}

py::object get_vlan_riot_memtable_name(py::handle self) {
  FANOUTPROBE_TEXT(none, "");
  FANOUTPROBE_TEXT(vlan_table, "VLAN");
  FANOUTPROBE_TEXT(mpls_table, "VLAN_MPLS");
  FANOUTPROBE_TEXT(l3_iif_field, "L3_IIF<");
  SW_LET(riot_enable, common::get(self, names.riot_enable));
  SW_LET(riot, common::truth(riot_enable));
  if (!riot) return none;
  SW_LET(command, common::percent_text("listmem %s", vlan_table));
  SW_LET(output, run_shell(self, command, command));
  SW_LET(listed, common::contains(output, l3_iif_field));
  return listed ? vlan_table : mpls_table;
}

py::object hw_vlan_to_iif(py::handle self, py::handle iif_vlan) {
  static const py::object& zero = lasting(py::int_(0));
  static const py::object& keyword_names = lasting(py::make_tuple(
      py::reinterpret_borrow<py::object>(names.fields), py::reinterpret_borrow<py::object>(names.start),
      py::reinterpret_borrow<py::object>(names.entries)));
  static const py::object& one = lasting(py::int_(1));
  int negative = PyObject_RichCompareBool(iif_vlan.ptr(), zero.ptr(), Py_LT);
  if (negative < 0) return {};
  if (negative) return common::none();
  SW_LET(riot_enable, common::get(self, names.riot_enable));
  SW_LET(riot, common::truth(riot_enable));
  if (!riot) return common::borrow(iif_vlan.ptr());
  SW_LET(cache, common::get(self, names.vlan_riot));
  SW_LET(cached, common::contains(cache, iif_vlan));
  if (cached) return common::item(cache, iif_vlan);
  SW_LET(shell, common::get(self, names.bcm));
  SW_LET(gettable, common::get(shell, names.gettable));
  SW_LET(table, common::get(self, names.vlan_riot_memtable));
  SW_LET(rows, common::call_with_keywords(gettable, {table, Py_True, iif_vlan, one},
                                          keyword_names.ptr()));
  SW_LET(row, common::item_at(rows, 0));
  SW_LET(l3_iif, common::item(row, names.L3_IIF));
  if (PyObject_SetItem(cache.ptr(), iif_vlan.ptr(), l3_iif.ptr()) < 0) return {};
  return l3_iif;
}

}  // namespace fanoutprobe
