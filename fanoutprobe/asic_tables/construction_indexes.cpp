#include "fanoutprobe/asic_tables/construction_indexes.hpp"

#include "common/host_calls.hpp"
#include "fanoutprobe/asic_tables/first_match_index.hpp"
#include "fanoutprobe/asic_tables/list_snapshot.hpp"
#include "fanoutprobe/asic_tables/own_construction.hpp"
#include "fanoutprobe/asic_tables/plain_keys.hpp"
#include "fanoutprobe/names.hpp"

namespace fanoutprobe {

namespace {

thread_local PortVidScope* innermost_port_vid_scope = nullptr;

// dport -> list of positions, for the records whose dport is plain
// (plain_keys.hpp); the positions of the others (a dport that is not, or
// cannot be read) go to `others`, for the walk's own comparison at each
// question. Read from the snapshot the groups stand for. Only errors that
// are no Exception pass.
py::object group_by_dport(py::handle snapshot, std::vector<Py_ssize_t>& others) {
  SW_LET(groups, common::steal(_PyDict_NewPresized(PyTuple_GET_SIZE(snapshot.ptr()))));
  for (Py_ssize_t i = 0; i < PyTuple_GET_SIZE(snapshot.ptr()); ++i) {
    py::handle record = PyTuple_GET_ITEM(snapshot.ptr(), i);
    py::object dport = common::get(record, names.dport);
    if (!dport) {
      if (!PyErr_ExceptionMatches(PyExc_Exception)) return {};
      PyErr_Clear();
    }
    if (!dport || !compares_as_base(dport.ptr())) {
      others.push_back(i);
      continue;
    }
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

// The positions of `group` and `others` (both ascending), merged in order.
py::object merged(py::handle group, const std::vector<Py_ssize_t>& others) {
  const Py_ssize_t named = PyList_GET_SIZE(group.ptr());
  SW_LET(positions, common::steal(PyList_New(0)));
  Py_ssize_t next = 0;
  for (Py_ssize_t other : others) {
    for (; next < named && PyLong_AsSsize_t(PyList_GET_ITEM(group.ptr(), next)) < other; ++next)
      if (PyList_Append(positions.ptr(), PyList_GET_ITEM(group.ptr(), next)) < 0) return {};
    py::object position = common::steal(PyLong_FromSsize_t(other));
    if (!position || PyList_Append(positions.ptr(), position.ptr()) < 0) return {};
  }
  for (; next < named; ++next)
    if (PyList_Append(positions.ptr(), PyList_GET_ITEM(group.ptr(), next)) < 0) return {};
  return positions;
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
  if (!scope) return {};
  if (!PyList_CheckExact(portmap.ptr()) || !compares_as_base(dport.ptr())) {
    scope->own_code_ = false;  // the walk's comparisons may run Python code
    return {};
  }
  if (!scope->groups_ || scope->may_differ(portmap, scope->own_code_)) {
    scope->groups_ = py::object();
    scope->others_.clear();
    scope->snapshot_ = snapshot_of(portmap);
    if (!scope->snapshot_) return {};
    scope->groups_ = group_by_dport(scope->snapshot_, scope->others_);
    if (!scope->groups_) return {};
    scope->list_ = common::borrow(portmap.ptr());
    if (!holds_snapshot(portmap, scope->snapshot_)) return {};  // changed by a dport read
  }
  static const py::handle none_named = common::forever(py::list());
  PyObject* group = PyDict_GetItemWithError(scope->groups_.ptr(), dport.ptr());
  if (!group && PyErr_Occurred()) return {};
  if (!group) group = none_named.ptr();
  if (scope->others_.empty()) return common::borrow(group);
  scope->own_code_ = false;  // comparing with the others may run Python code
  return merged(group, scope->others_);
}

bool PortVidScope::unchanged(py::handle asic, py::handle portmap, py::handle record) {
  PortVidScope* scope = of(asic);
  if (!scope) return false;
  if (!scope->may_differ(portmap, scope->own_code_ && own_port_vid_update(record))) return true;
  // Between rows only the length is checked when own code runs: the next
  // row must not take the groups for the port map as it is now.
  scope->groups_ = py::object();
  scope->snapshot_ = py::object();
  scope->others_.clear();
  return false;
}

namespace {

bool all_plain(PyObject* const* names, Py_ssize_t count) {
  for (Py_ssize_t i = 0; i < count; ++i)
    if (!compares_as_base(names[i])) return false;
  return true;
}

// The index of a list's names (a tuple): the set of them when all are
// plain, else a dict from each plain name to its first position and a
// tuple of the positions of the others.
py::object name_index(py::handle names) {
  const Py_ssize_t count = PyTuple_GET_SIZE(names.ptr());
  if (all_plain(&PyTuple_GET_ITEM(names.ptr(), 0), count)) return common::steal(PySet_New(names.ptr()));
  SW_LET(first, common::steal(_PyDict_NewPresized(count)));
  SW_LET(others, common::steal(PyList_New(0)));
  for (Py_ssize_t i = 0; i < count; ++i) {
    PyObject* name = PyTuple_GET_ITEM(names.ptr(), i);
    SW_LET(position, common::steal(PyLong_FromSsize_t(i)));
    if (!compares_as_base(name)) {
      if (PyList_Append(others.ptr(), position.ptr()) < 0) return {};
    } else if (!PyDict_SetDefault(first.ptr(), name, position.ptr())) {
      return {};
    }
  }
  SW_LET(others_tuple, common::steal(PyList_AsTuple(others.ptr())));
  return common::steal(PyTuple_Pack(2, first.ptr(), others_tuple.ptr()));
}

// `dport in names` (a plain dport; `names` a tuple, `index` from
// name_index): the other names before the first plain match are compared
// in order, as the walk compares them.
int member_of(py::handle names, py::handle index, py::handle dport) {
  if (PyAnySet_CheckExact(index.ptr())) return PySet_Contains(index.ptr(), dport.ptr());
  PyObject* found = PyDict_GetItemWithError(PyTuple_GET_ITEM(index.ptr(), 0), dport.ptr());
  if (!found && PyErr_Occurred()) return -1;
  const Py_ssize_t limit = found ? PyLong_AsSsize_t(found) : PyTuple_GET_SIZE(names.ptr());
  PyObject* others = PyTuple_GET_ITEM(index.ptr(), 1);
  for (Py_ssize_t i = 0; i < PyTuple_GET_SIZE(others); ++i) {
    const Py_ssize_t at = PyLong_AsSsize_t(PyTuple_GET_ITEM(others, i));
    if (at >= limit) break;
    const int same = common::equal(PyTuple_GET_ITEM(names.ptr(), at), dport);
    if (same) return same;
  }
  return found ? 1 : 0;
}

}  // namespace

int untagged_member(py::handle asic, py::handle entry, py::handle untagged, py::handle dport) {
  LookupIndexScope* scope = LookupIndexScope::of(asic.ptr());
  if (!scope) return common::contains(untagged, dport);
  if (!PyList_CheckExact(untagged.ptr()) || !compares_as_base(dport.ptr())) {
    scope->foreign_code_may_run();
    return common::contains(untagged, dport);
  }
  py::object& sets = scope->untagged_sets();
  if (!sets) {
    sets = common::steal(PyDict_New());
    if (!sets) return -1;
  }
  // Per list: (the list, its items then, index): index None when asked
  // once, from name_index from the second question on.
  py::object key = common::steal(PyLong_FromVoidPtr(untagged.ptr()));
  if (!key) return -1;
  // Held: comparing with a name that is not plain may run Python code that
  // asks again and so replaces it.
  py::object known = common::borrow(PyDict_GetItemWithError(sets.ptr(), key.ptr()));
  if (!known && PyErr_Occurred()) return -1;
  // Without overrides nothing changes the list in place between questions;
  // a record class of its own (or the own class patched) was handed the
  // list, or gives it out, and may change it.
  const bool own_code = scope->own_code() && own_untagged_list(entry);
  const bool same = known && PyTuple_GET_ITEM(known.ptr(), 0) == untagged.ptr() &&
                    holds_snapshot(untagged, PyTuple_GET_ITEM(known.ptr(), 1), own_code);
  if (same && PyTuple_GET_ITEM(known.ptr(), 2) != Py_None) {
    if (!PyAnySet_CheckExact(PyTuple_GET_ITEM(known.ptr(), 2))) scope->foreign_code_may_run();
    return member_of(PyTuple_GET_ITEM(known.ptr(), 1), PyTuple_GET_ITEM(known.ptr(), 2), dport);
  }
  py::object snapshot = snapshot_of(untagged);
  if (!snapshot) return -1;
  py::object index = same ? name_index(snapshot) : common::none();  // asked before
  if (!index) return -1;
  py::object state_now = common::steal(PyTuple_Pack(3, untagged.ptr(), snapshot.ptr(), index.ptr()));
  if (!state_now || PyDict_SetItem(sets.ptr(), key.ptr(), state_now.ptr()) < 0) return -1;
  if (!all_plain(&PyTuple_GET_ITEM(snapshot.ptr(), 0), PyTuple_GET_SIZE(snapshot.ptr())))
    scope->foreign_code_may_run();
  if (!index.is_none()) return member_of(snapshot, index, dport);
  return common::contains(untagged, dport);
}

}  // namespace fanoutprobe
