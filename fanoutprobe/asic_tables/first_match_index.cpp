#include "fanoutprobe/asic_tables/first_match_index.hpp"

#include <utility>
#include <vector>

#include "common/host_calls.hpp"
#include "fanoutprobe/asic_tables/list_snapshot.hpp"
#include "fanoutprobe/asic_tables/plain_keys.hpp"
#include "fanoutprobe/names.hpp"

namespace fanoutprobe {

namespace {

using RecordKey = py::object (*)(py::handle record, int which);

struct ListSpec {
  PyObject* list_name;
  int slot;
  RecordKey record_key;
};

// Scopes nest on the C++ stack of the thread that opened them.
thread_local LookupIndexScope* innermost_scope = nullptr;

py::object portmap_key(py::handle record, int which) {
  return common::get(record, which == 0 ? names.dport : names.linux_port);
}

py::object xlate_key(py::handle record, int which) {
  SW_LET(lport, common::get(record, names.lport));
  SW_LET(vid, common::get(record, which == 0 ? names.ivid : names.evid));
  return common::steal(PyTuple_Pack(2, lport.ptr(), vid.ptr()));
}

// Fills `index` from the records `list` (an exact list) holds now: each
// plain key (plain_keys.hpp) to the first record carrying it, and the
// positions of the records whose key is not plain or cannot be read, which
// each question checks beside the index (so it meets their comparison, or
// the fault of their key, where a walk would). Only errors that are no
// Exception pass.
bool build(ListIndex& index, const ListSpec& layout, int which, py::handle list) {
  index = ListIndex{};
  index.state = ListIndex::kScanOnly;
  index.list = common::borrow(list.ptr());
  if (!PyList_CheckExact(list.ptr())) return true;
  py::object snapshot = snapshot_of(list);
  // Sized for the list at once: no rehash of every key as the dict grows.
  py::object first = common::steal(_PyDict_NewPresized(PyList_GET_SIZE(list.ptr())));
  bool ok = snapshot && first;
  // Read from the snapshot: a key read that changes the list leaves the
  // index describing the records it holds, and the next question rebuilds.
  for (Py_ssize_t i = 0; ok && i < PyTuple_GET_SIZE(snapshot.ptr()); ++i) {
    py::handle record = PyTuple_GET_ITEM(snapshot.ptr(), i);
    py::object key = layout.record_key(record, which);
    if (!key) {
      if (!PyErr_ExceptionMatches(PyExc_Exception)) return false;
      PyErr_Clear();
    }
    if (!key || !plain_key(key.ptr())) {
      index.others.push_back(i);
      continue;
    }
    ok = PyDict_SetDefault(first.ptr(), key.ptr(), record.ptr()) != nullptr;
  }
  if (!ok) {
    index.others.clear();
    if (!PyErr_ExceptionMatches(PyExc_Exception)) return false;
    PyErr_Clear();
    return true;
  }
  // Only beside other records does a question need to know where a record is.
  if (!index.others.empty())
    for (Py_ssize_t i = 0; i < PyTuple_GET_SIZE(snapshot.ptr()); ++i)
      index.positions.try_emplace(PyTuple_GET_ITEM(snapshot.ptr(), i), i);
  index.state = ListIndex::kBuilt;
  index.snapshot = std::move(snapshot);
  index.first = std::move(first);
  return true;
}

// Whether `index` still describes `list`: the same object holding as many
// records, and, when an override may have run since it was built, the same
// records in the same order.
bool describes(const ListIndex& index, py::handle list, bool own_code) {
  if (index.state == ListIndex::kUnbuilt || index.list.ptr() != list.ptr()) return false;
  return index.state == ListIndex::kScanOnly || holds_snapshot(list, index.snapshot, own_code);
}

// The first record of `list` whose key equals `key`.
py::object scan(const ListSpec& layout, py::handle list, int which, py::handle key) {
  SW_LET(iterator, common::steal(PyObject_GetIter(list.ptr())));
  while (PyObject* next = PyIter_Next(iterator.ptr())) {
    py::object record = common::steal(next);
    SW_LET(record_key, layout.record_key(record, which));
    SW_LET(same, common::equal(record_key, key));
    if (same) return record;
  }
  if (PyErr_Occurred()) return {};
  return common::none();
}

// Whether `record` carries `key` now, compared as the walk compares: 1,
// 0, or -1 with the error set.
int carries(py::handle record, const ListSpec& layout, int which, py::handle key) {
  py::object record_key = layout.record_key(record, which);
  return record_key ? common::equal(record_key, key) : -1;
}

// The scope's answer for a plain key: the record, None for a miss, or a
// null object with no error set when only the scan can answer. The index
// gives the first record with a plain key equal to `key`; a record before
// it whose key is not plain may come first, as in the walk.
py::object indexed(ListIndex& index, const ListSpec& layout, int which, py::handle key) {
  if (index.state != ListIndex::kBuilt) return {};
  PyObject* found = PyDict_GetItemWithError(index.first.ptr(), key.ptr());
  if (!found && PyErr_Occurred()) return {};
  // Held apart from the index: a key read or comparison may run Python
  // code that asks again and so rebuilds the index.
  const py::object records = index.snapshot;
  const std::vector<Py_ssize_t> others = index.others;
  py::object answer = found ? common::borrow(found) : common::none();
  const Py_ssize_t limit = !found ? PyTuple_GET_SIZE(records.ptr())
                           : others.empty() ? 0
                                            : index.positions.at(found);
  if (found) {
    const int same = carries(answer, layout, which, key);
    if (same < 0) return {};
    if (!same) {
      index = ListIndex{};  // a record changed in place: scan now, rebuild at the next question
      return {};
    }
  }
  const Py_ssize_t other = first_other_below(others, limit, [&](Py_ssize_t at) {
    return carries(PyTuple_GET_ITEM(records.ptr(), at), layout, which, key);
  });
  if (other == -2) return {};
  if (other >= 0) return common::borrow(PyTuple_GET_ITEM(records.ptr(), other));
  return answer;
}

py::object first_match(py::handle self, const ListSpec& layout, int which, py::handle key) {
  SW_LET(list, common::get(self, layout.list_name));
  LookupIndexScope* scope = LookupIndexScope::of(self.ptr());
  if (scope && plain_key(key.ptr())) {
    ListIndex& index = scope->index(layout.slot, which);
    if (!describes(index, list, scope->own_code()) && !build(index, layout, which, list)) return {};
    if (!index.others.empty()) scope->foreign_code_may_run();
    py::object answer = indexed(index, layout, which, key);
    if (answer || PyErr_Occurred()) return answer;
  }
  if (scope) scope->foreign_code_may_run();
  return scan(layout, list, which, key);
}

}  // namespace

LookupIndexScope::LookupIndexScope(py::handle asic, bool own_code)
    : asic_(asic.ptr()), own_code_(own_code), outer_(innermost_scope) {
  innermost_scope = this;
}

LookupIndexScope::~LookupIndexScope() { innermost_scope = outer_; }

LookupIndexScope* LookupIndexScope::of(PyObject* asic) {
  LookupIndexScope* scope = innermost_scope;
  while (scope && scope->asic_ != asic) scope = scope->outer_;
  return scope;
}

py::object first_portmap_entry(py::handle self, PortmapKey key, py::handle value) {
  static const ListSpec layout{names.portmap, 0, &portmap_key};
  return first_match(self, layout, static_cast<int>(key), value);
}

py::object first_vlan_xlate(py::handle self, XlateKey key, py::handle lport, py::handle vid) {
  static const ListSpec layout{names.vlan_xlate, 1, &xlate_key};
  SW_LET(pair, common::steal(PyTuple_Pack(2, lport.ptr(), vid.ptr())));
  return first_match(self, layout, static_cast<int>(key), pair);
}

}  // namespace fanoutprobe
