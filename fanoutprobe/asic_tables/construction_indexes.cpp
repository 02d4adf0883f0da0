#include "fanoutprobe/asic_tables/construction_indexes.hpp"

#include "common/host_calls.hpp"
#include "fanoutprobe/asic_tables/first_match_index.hpp"
#include "fanoutprobe/asic_tables/list_snapshot.hpp"
#include "fanoutprobe/asic_tables/own_construction.hpp"
#include "fanoutprobe/names.hpp"

namespace fanoutprobe {

namespace {

thread_local PortVidScope* innermost_port_vid_scope = nullptr;

// dport -> list of positions, or None when a record's dport cannot be read
// or is not a plain text (the walk answers then, meeting any fault where it
// would). Read from the snapshot the groups stand for. Only errors that are
// no Exception pass.
py::object group_by_dport(py::handle snapshot) {
  SW_LET(groups, common::steal(_PyDict_NewPresized(PyTuple_GET_SIZE(snapshot.ptr()))));
  for (Py_ssize_t i = 0; i < PyTuple_GET_SIZE(snapshot.ptr()); ++i) {
    py::handle record = PyTuple_GET_ITEM(snapshot.ptr(), i);
    py::object dport = common::get(record, names.dport);
    if (!dport) {
      if (!PyErr_ExceptionMatches(PyExc_Exception)) return {};
      PyErr_Clear();
      return common::none();
    }
    if (!PyUnicode_CheckExact(dport.ptr())) return common::none();
    PyObject* group = PyDict_GetItemWithError(groups.ptr(), dport.ptr());
    if (!group) {
      if (PyErr_Occurred()) return {};
      py::object made = common::steal(PyList_New(0));
      if (!made || PyDict_SetItem(groups.ptr(), dport.ptr(), made.ptr()) < 0) return {};
      group = made.ptr();
    }
    py::object position = common::steal(PyLong_FromSsize_t(i));
    if (!position || PyList_Append(group, position.ptr()) < 0) return {};
  }
  return groups;
}

}  // namespace

PortVidScope* PortVidScope::of(py::handle asic) {
  PortVidScope* scope = innermost_port_vid_scope;
  while (scope && scope->asic_ != asic.ptr()) scope = scope->outer_;
  return scope;
}

PortVidScope::PortVidScope(py::handle asic, bool own_code)
    : asic_(asic.ptr()), own_code_(own_code), outer_(innermost_port_vid_scope) {
  innermost_port_vid_scope = this;
}

PortVidScope::~PortVidScope() { innermost_port_vid_scope = outer_; }

bool PortVidScope::may_differ(py::handle portmap, bool own_code) const {
  return !snapshot_ || list_.ptr() != portmap.ptr() || !holds_snapshot(portmap, snapshot_, own_code);
}

py::object PortVidScope::positions_named(py::handle asic, py::handle portmap, py::handle dport) {
  PortVidScope* scope = of(asic);
  if (!scope || !PyList_CheckExact(portmap.ptr()) || !PyUnicode_CheckExact(dport.ptr())) return {};
  if (!scope->groups_ || scope->may_differ(portmap, scope->own_code_)) {
    scope->groups_ = py::object();
    scope->snapshot_ = snapshot_of(portmap);
    if (!scope->snapshot_) return {};
    scope->groups_ = group_by_dport(scope->snapshot_);
    if (!scope->groups_) return {};
    scope->list_ = common::borrow(portmap.ptr());
    if (!holds_snapshot(portmap, scope->snapshot_)) return {};  // changed by a dport read
  }
  if (scope->groups_.is_none()) return {};
  PyObject* group = PyDict_GetItemWithError(scope->groups_.ptr(), dport.ptr());
  if (group) return common::borrow(group);
  if (PyErr_Occurred()) return {};
  static const py::handle none_named = common::forever(py::list());
  return common::borrow(none_named.ptr());
}

bool PortVidScope::unchanged(py::handle asic, py::handle portmap, py::handle record) {
  PortVidScope* scope = of(asic);
  if (!scope) return false;
  if (!scope->may_differ(portmap, scope->own_code_ && own_port_vid_update(record))) return true;
  // Between rows only the length is checked when own code runs: the next
  // row must not take the groups for the port map as it is now.
  scope->groups_ = py::object();
  scope->snapshot_ = py::object();
  return false;
}

int untagged_member(py::handle asic, py::handle entry, py::handle untagged, py::handle dport) {
  LookupIndexScope* scope = LookupIndexScope::of(asic.ptr());
  if (!scope || !PyList_CheckExact(untagged.ptr()) || !PyUnicode_CheckExact(dport.ptr()))
    return common::contains(untagged, dport);
  py::object& sets = scope->untagged_sets();
  if (!sets) {
    sets = common::steal(PyDict_New());
    if (!sets) return -1;
  }
  // Per list: (the list, its items then, state): state None when asked
  // once, the set of its names from the second question on, False when a
  // name is not a plain text (walk only).
  py::object key = common::steal(PyLong_FromVoidPtr(untagged.ptr()));
  if (!key) return -1;
  PyObject* known = PyDict_GetItemWithError(sets.ptr(), key.ptr());
  if (!known && PyErr_Occurred()) return -1;
  // Without overrides nothing changes the list in place between questions;
  // a record class of its own (or the own class patched) was handed the
  // list, or gives it out, and may change it.
  const bool own_code = scope->own_code() && own_untagged_list(entry);
  bool same = known && PyTuple_GET_ITEM(known, 0) == untagged.ptr() &&
              holds_snapshot(untagged, PyTuple_GET_ITEM(known, 1), own_code);
  PyObject* state = same ? PyTuple_GET_ITEM(known, 2) : Py_None;
  if (PyAnySet_CheckExact(state)) return PySet_Contains(state, dport.ptr());
  if (state == Py_False) return common::contains(untagged, dport);
  py::object names_set = common::none();
  if (same) {  // asked before: a set of its names, when they are all plain texts
    names_set = common::steal(PySet_New(nullptr));
    if (!names_set) return -1;
    for (Py_ssize_t i = 0; i < PyList_GET_SIZE(untagged.ptr()); ++i) {
      PyObject* name = PyList_GET_ITEM(untagged.ptr(), i);
      if (!PyUnicode_CheckExact(name)) {
        names_set = common::boolean(false);
        break;
      }
      if (PySet_Add(names_set.ptr(), name) < 0) return -1;
    }
  }
  py::object snapshot = snapshot_of(untagged);
  if (!snapshot) return -1;
  py::object state_now =
      common::steal(PyTuple_Pack(3, untagged.ptr(), snapshot.ptr(), names_set.ptr()));
  if (!state_now || PyDict_SetItem(sets.ptr(), key.ptr(), state_now.ptr()) < 0) return -1;
  if (PyAnySet_CheckExact(names_set.ptr())) return PySet_Contains(names_set.ptr(), dport.ptr());
  return common::contains(untagged, dport);
}

}  // namespace fanoutprobe
