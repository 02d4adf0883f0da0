// First-match lookups over the Asic's port map and VLAN translation list.
//
// The lookups take the first record of a list whose key fields equal the
// arguments, reading the list through the object at every question, so a
// caller may change the lists or their records in place at any time.
//
// The replication-group reader asks once per group member while the Asic
// reads its tables; a scan per question would make that quadratic. A
// `LookupIndexScope` covers such a reader: while it lives, lookups on its
// Asic answer from one dict per list and key, built from the list at the
// first question by that key in the scope and dropped with the scope (never
// stored in the object).
// The index is rebuilt whenever the member is another list or holds another
// number of records. The reader itself changes neither list, but an
// override run in the middle may (own_construction.hpp tells whether one
// can run): then each question also checks that the list holds the same
// records in the same order (list_snapshot.hpp), rebuilding when not. A hit
// whose record no longer carries the key sends that question to the scan
// and the index to a rebuild. Only plain keys are indexed (plain_keys.hpp:
// str and int, and subclasses keeping their comparison and hash); a record
// holding another key, or whose key cannot be read, is checked beside the
// index at each question it could come first for, as the walk would check
// it. Other keys asked, and members that are not lists, are answered by
// the scan.
//
// Limit: a record whose key is changed in place (the same record object
// given another dport, linux_port, lport, ivid or evid) by an override
// while the scope lives is seen under its new key only once the index is
// rebuilt for another reason; a question for the new key may miss it, or
// find a later record, where the scan would find it. So is a record whose
// key's class is given a comparison or hash of its own then. Likewise,
// with only own code running, a list changed in place at the same length
// by Python code that reaches the object from outside the operations a
// class can replace (a gc callback, another thread, an outside service
// holding a reference) is not seen.
#pragma once

#include <pybind11/pybind11.h>

#include <unordered_map>
#include <vector>

namespace fanoutprobe {

namespace py = pybind11;

enum class PortmapKey { kDport = 0, kLinuxPort = 1 };
enum class XlateKey { kIvid = 0, kEvid = 1 };  // each with the logical port

// The first record, None when no record matches, or null with the error set.
py::object first_portmap_entry(py::handle self, PortmapKey key, py::handle value);
py::object first_vlan_xlate(py::handle self, XlateKey key, py::handle lport, py::handle vid);

// One list's index by one key within a scope: the list it was built from,
// its records then, a dict from each plain key to the first record
// carrying it, the positions of the other records and, when there are any,
// each record's first position.
struct ListIndex {
  enum State { kUnbuilt, kBuilt, kScanOnly } state = kUnbuilt;
  py::object list;
  py::object snapshot;
  py::object first;
  std::vector<Py_ssize_t> others;
  std::unordered_map<PyObject*, Py_ssize_t> positions;
};

class LookupIndexScope {
 public:
  // `own_code`: whether only own code runs between two questions
  // (runs_own_construction), so no per-question check is needed.
  LookupIndexScope(py::handle asic, bool own_code);
  ~LookupIndexScope();
  LookupIndexScope(const LookupIndexScope&) = delete;
  LookupIndexScope& operator=(const LookupIndexScope&) = delete;

  // The innermost scope covering `asic`, or null when none covers it.
  static LookupIndexScope* of(PyObject* asic);

  // The index of list `list` (0 port map, 1 VLAN translations) by key
  // `which` (PortmapKey, XlateKey).
  ListIndex& index(int list, int which) { return indexes_[list][which]; }
  // The dict for the untagged-list sets of construction_indexes.hpp (null
  // until made at first use).
  py::object& untagged_sets() { return untagged_sets_; }
  bool own_code() const { return own_code_; }
  // A comparison with a key that is not plain (plain_keys.hpp) may run
  // Python code: from then on every question checks its list in full.
  void foreign_code_may_run() { own_code_ = false; }

 private:
  PyObject* asic_;
  bool own_code_;
  ListIndex indexes_[2][2];
  py::object untagged_sets_;
  LookupIndexScope* outer_;
};

}  // namespace fanoutprobe
