// The route comparison: the kernel's view of one route (key, IIF, OIFs)
// against the hardware route of the same key, every difference recorded on
// the hardware route in fixed words.
#include "common/host_calls.hpp"
#include "fanoutprobe/asic_tables/asic_operations.hpp"
#include "fanoutprobe/asic_tables/host_text.hpp"
#include "fanoutprobe/asic_tables/record_helpers.hpp"
#include "fanoutprobe/core/route_key.hpp"
#include "fanoutprobe/kernel_compare/kernel_helpers.hpp"

namespace fanoutprobe {

py::object key_to_sip_dip(py::handle /*self*/, py::handle key) {
  TextView view;
  if (!view_text(key, "route key", view)) return {};
  std::optional<RouteKey> parts = split_route_key(view.text);
  if (!parts) return tuple_of(Py_None, Py_None, Py_None);
  SW_LET(vrf, host_text(parts->vrf));
  SW_LET(sip, host_text(parts->sip));
  SW_LET(dip, host_text(parts->dip));
  return tuple_of(vrf, sip, dip);
}

py::object kern_iif_to_hw_vlan(py::handle self, py::handle base_kind, py::handle /*base_iif*/,
                               py::handle iif_vlan, py::handle member) {
  FANOUTPROBE_WORD(bridge, "bridge");
  static const py::object& no_vlan = lasting(py::int_(-1));
  SW_LET(is_bridge, is_value(base_kind, bridge));
  if (is_bridge) {
    SW_LET(has_vlan, differs_from_minus_one(iif_vlan));
    if (has_vlan) return common::borrow(iif_vlan.ptr());  // a VLAN on a bridge is its own
  }
  SW_LET(named, common::truth(member));
  if (!named) return no_vlan;
  TextView view;
  if (!view_text(member, "member", view)) return {};
  // "port" or "port.vlan[.more]": the port, and the VLAN when there is one.
  std::size_t first = view.text.find('.');
  SW_LET(linux_port, host_text(view.text.substr(0, first)));
  py::object vlan = no_vlan;
  if (first != std::string_view::npos) {
    std::size_t second = view.text.find('.', first + 1);
    std::string_view part = view.text.substr(
        first + 1, second == std::string_view::npos ? second : second - first - 1);
    SW_LET(part_text, host_text(part));
    vlan = int_of_text(part_text, 10);
    if (!vlan) return {};
  }
  SW_LET(port_and_pvid, common::call_method(self, names._get_logical_port_and_pvid, linux_port));
  py::object logical_port_and_pvid[2];
  if (!unpack(port_and_pvid, logical_port_and_pvid, 2)) return {};
  SW_LET(tagged, differs_from_minus_one(vlan));
  if (!tagged) return logical_port_and_pvid[1];
  return common::call_method(self, names._evid2ivid, logical_port_and_pvid[0], vlan);
}

namespace {

// The set of `names`, each cut before its first point.
py::object port_names_of(py::handle encaps) {
  SW_LET(ports, common::steal(PySet_New(nullptr)));
  SW_LET(iterator, common::steal(PyObject_GetIter(encaps.ptr())));
  while (PyObject* next = PyIter_Next(iterator.ptr())) {
    py::object name = common::steal(next);
    if (!PyUnicode_Check(name.ptr()))
      return common::fail_percent(PyExc_TypeError, "port name must be str, not %r", name);
    Py_ssize_t length = PyUnicode_GET_LENGTH(name.ptr());
    Py_ssize_t point = PyUnicode_FindChar(name.ptr(), '.', 0, length, 1);
    if (point == -2) return {};
    py::object port = point < 0 ? name : common::steal(PyUnicode_Substring(name.ptr(), 0, point));
    if (!port || PySet_Add(ports.ptr(), port.ptr()) < 0) return {};
  }
  if (PyErr_Occurred()) return {};
  return ports;
}

// The smallest name of the working set, taken out of it; "" when empty.
py::object take_first_member(py::handle self) {
  static const py::object& nothing = lasting(py::str(""));
  static PyObject* remove = PyUnicode_InternFromString("remove");
  SW_LET(encaps, common::get(self, names.tmp_encaps));
  py::object smallest;
  SW_LET(iterator, common::steal(PyObject_GetIter(encaps.ptr())));
  while (PyObject* next = PyIter_Next(iterator.ptr())) {
    py::object name = common::steal(next);
    if (!smallest) {
      smallest = name;
      continue;
    }
    int less = PyObject_RichCompareBool(name.ptr(), smallest.ptr(), Py_LT);
    if (less < 0) return {};
    if (less) smallest = name;
  }
  if (PyErr_Occurred()) return {};
  if (!smallest) return nothing;
  SW_CHECK(common::call_method(encaps, remove, smallest));
  return smallest;
}

// Expands `interface` into a new working set and returns that set.
py::object expansion_of(py::handle self, py::handle grp, py::handle interface) {
  SW_LET(fresh, common::steal(PySet_New(nullptr)));
  SW_CHECK(common::set(self, names.tmp_encaps, fresh));
  SW_CHECK(common::call_method(self, names._expand_kern_dev, grp, interface));
  return common::get(self, names.tmp_encaps);
}

// True when `a` holds a name that `b` lacks (a - b is not empty).
int has_more(py::handle a, py::handle b) {
  py::object rest = common::steal(PyNumber_Subtract(a.ptr(), b.ptr()));
  if (!rest) return -1;
  return common::truth(rest);
}

py::object record(py::handle hmroute, PyObject* list_name, const py::object& text) {
  SW_LET(list, common::get(hmroute, list_name));
  return append_to(list, text);
}

}  // namespace

py::object mroute_eq(py::handle self, py::handle key, py::handle iif, py::handle oil) {
  FANOUTPROBE_WORD(bridge, "bridge");
  FANOUTPROBE_WORD(iif_differs, "kernel IIF does not match hw IIF");
  FANOUTPROBE_WORD(hw_has_oifs, "hw has OIFs not in the kernel");
  FANOUTPROBE_WORD(kernel_has_oifs, "kernel has OIFs not in the hw");
  FANOUTPROBE_WORD(hw_has_l2_oifs, "hw has L2-OIFs not in the kernel");
  FANOUTPROBE_WORD(kernel_has_l2_oifs, "kernel has L2-OIFs not in the hw");
  SW_LET(parts, common::call_method(self, names._key_to_sip_dip, key));
  SW_LET(grp, common::item_at(parts, 2));
  SW_LET(mroutes, common::get(self, names.mroutes));
  py::object hmroute;
  SW_LET(held, lookup(mroutes, key, hmroute));
  if (!held) return common::boolean(true);  // the hardware lacks the route: nothing to compare
  if (grp.is_none()) grp = common::get(hmroute, names.dip);  // a key that does not split
  if (!grp) return {};

  py::object kern_l2_encaps = common::steal(PySet_New(nullptr));
  if (!kern_l2_encaps) return {};
  SW_LET(resolved, common::call_method(self, names._kern_base_dev_kind_get, iif));
  py::object kind_iif_vlan[3];
  if (!unpack(resolved, kind_iif_vlan, 3)) return {};
  SW_LET(iif_encaps, expansion_of(self, grp, iif));
  SW_LET(is_bridge, is_value(kind_iif_vlan[0], bridge));
  if (is_bridge) kern_l2_encaps = port_names_of(iif_encaps);
  if (!kern_l2_encaps) return {};
  SW_LET(first_member, take_first_member(self));
  SW_LET(kern_iif_vlan, common::call_method(self, names._kern_iif_to_hw_vlan, kind_iif_vlan[0],
                                            kind_iif_vlan[1], kind_iif_vlan[2], first_member));
  SW_LET(kern_iif, common::call_method(self, names._hw_vlan_to_iif, kern_iif_vlan));
  SW_LET(hw_iif, common::get(hmroute, names.iif));
  SW_LET(same_iif, common::equal(kern_iif, hw_iif));
  if (!same_iif) SW_CHECK(record(hmroute, names.iif_mismatch, iif_differs));

  SW_LET(kern_l3_encaps, common::steal(PySet_New(nullptr)));
  SW_LET(oifs, common::steal(PyObject_GetIter(oil.ptr())));
  while (PyObject* next = PyIter_Next(oifs.ptr())) {
    py::object oif = common::steal(next);
    SW_LET(is_iif, common::equal(oif, iif));
    if (is_iif) continue;
    SW_LET(encaps, expansion_of(self, grp, oif));
    SW_LET(names_reached, common::steal(PyObject_GetIter(encaps.ptr())));
    while (PyObject* name = PyIter_Next(names_reached.ptr())) {
      int added = PySet_Add(kern_l3_encaps.ptr(), name);
      Py_DECREF(name);
      if (added < 0) return {};
    }
    if (PyErr_Occurred()) return {};
  }
  if (PyErr_Occurred()) return {};

  SW_LET(groups, common::get(self, names.replication_groups));
  SW_LET(group_id, common::get(hmroute, names.grp));
  py::object group;
  SW_LET(has_group, lookup(groups, group_id, group));
  py::object hw_l3_encaps, hw_l2_encaps;
  if (has_group) {
    hw_l3_encaps = common::call_method(group, names.get_l3_linux_encaps);
    if (!hw_l3_encaps) return {};
    hw_l2_encaps = common::call_method(group, names.get_l2_linux_encaps);
  } else {
    hw_l3_encaps = common::steal(PySet_New(nullptr));
    if (!hw_l3_encaps) return {};
    hw_l2_encaps = common::steal(PySet_New(nullptr));
  }
  if (!hw_l2_encaps) return {};

  // The four differences, in their fixed order.
  const struct {
    py::handle from, minus;
    const py::object& text;
  } differences[] = {{hw_l3_encaps, kern_l3_encaps, hw_has_oifs},
                     {kern_l3_encaps, hw_l3_encaps, kernel_has_oifs},
                     {hw_l2_encaps, kern_l2_encaps, hw_has_l2_oifs},
                     {kern_l2_encaps, hw_l2_encaps, kernel_has_l2_oifs}};
  for (const auto& difference : differences) {
    SW_LET(differs, has_more(difference.from, difference.minus));
    if (differs) SW_CHECK(record(hmroute, names.oil_mismatch, difference.text));
  }

  SW_LET(iif_mismatch, common::get(hmroute, names.iif_mismatch));
  SW_LET(iif_recorded, common::truth(iif_mismatch));
  if (iif_recorded) return common::boolean(false);
  SW_LET(oil_mismatch, common::get(hmroute, names.oil_mismatch));
  SW_LET(oil_recorded, common::truth(oil_mismatch));
  return common::boolean(!oil_recorded);
}

}  // namespace fanoutprobe
