#include "fanoutprobe/asic_tables/first_match_index.hpp"

#include <utility>

#include "common/host_calls.hpp"
#include "fanoutprobe/asic_tables/list_snapshot.hpp"
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

// Whether `key` is an exact str or int, or a pair of them (a translation's
// key): the only keys whose == is the dict's, whatever they are compared
// with. Any other (a subclass may say == of anything) goes to the scan.
bool plain_key(PyObject* key) {
  auto plain = [](PyObject* item) { return PyUnicode_CheckExact(item) || PyLong_CheckExact(item); };
  if (!PyTuple_CheckExact(key)) return plain(key);
  for (Py_ssize_t i = 0; i < PyTuple_GET_SIZE(key); ++i)
    if (!plain(PyTuple_GET_ITEM(key, i))) return false;
  return true;
}

// Fills `index` from the records `list` (an exact list) holds now; records
// that cannot be indexed (a failing key read, a key that is not plain)
// leave it for the scan, which meets the same fault where a scan would.
// Only errors that are no Exception pass.
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
    if (key && !plain_key(key.ptr())) return true;
    ok = key && PyDict_SetDefault(first.ptr(), key.ptr(), record.ptr()) != nullptr;
  }
  if (ok) {
    index.state = ListIndex::kBuilt;
    index.snapshot = std::move(snapshot);
    index.first = std::move(first);
    return true;
  }
  if (!PyErr_ExceptionMatches(PyExc_Exception)) return false;
  PyErr_Clear();
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

// The scope's answer for a plain key: the record, None for a miss, or a
// null object with no error set when only the scan can answer.
py::object indexed(ListIndex& index, const ListSpec& layout, int which, py::handle key) {
  if (index.state != ListIndex::kBuilt) return {};
  PyObject* record = PyDict_GetItemWithError(index.first.ptr(), key.ptr());
  if (!record) return PyErr_Occurred() ? py::object() : common::none();
  py::object held = common::borrow(record);
  SW_LET(record_key, layout.record_key(held, which));
  SW_LET(same, common::equal(record_key, key));
  if (same) return held;
  index = ListIndex{};  // a record changed in place: scan now, rebuild at the next question
  return {};
}

py::object first_match(py::handle self, const ListSpec& layout, int which, py::handle key) {
  SW_LET(list, common::get(self, layout.list_name));
  LookupIndexScope* scope = LookupIndexScope::of(self.ptr());
  if (scope && plain_key(key.ptr())) {
    ListIndex& index = scope->index(layout.slot, which);
    if (!describes(index, list, scope->own_code()) && !build(index, layout, which, list)) return {};
    py::object answer = indexed(index, layout, which, key);
    if (answer || PyErr_Occurred()) return answer;
  }
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
