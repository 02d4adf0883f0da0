// First-match lookups over the Asic's port map and VLAN translation list.
//
// The lookups take the first record of a list whose key fields equal the
// arguments, reading the list through the object at every question, so a
// caller may change the lists or their records in place at any time.
//
// The replication-group reader asks once per group member while the Asic
// reads its tables; a scan per question would make that quadratic. A
// `LookupIndexScope` covers such a reader: while it lives, lookups on its
// Asic answer from one dict per key, built from the list at its first use
// in the scope and dropped with the scope (never stored in the object). The
// reader changes neither list, but an override run in the middle may: the
// index is rebuilt whenever the member is another list or no longer holds
// the same records in the same order (list_snapshot.hpp), and a hit whose
// record no longer carries the key sends that question to the scan and
// the index to a rebuild. Keys that cannot be hashed, and members that are
// not lists or whose records cannot be indexed, are answered by the scan.
#pragma once

#include <pybind11/pybind11.h>

namespace fanoutprobe {

namespace py = pybind11;

enum class PortmapKey { kDport = 0, kLinuxPort = 1 };
enum class XlateKey { kIvid = 0, kEvid = 1 };  // each with the logical port

// The first record, None when no record matches, or null with the error set.
py::object first_portmap_entry(py::handle self, PortmapKey key, py::handle value);
py::object first_vlan_xlate(py::handle self, XlateKey key, py::handle lport, py::handle vid);

// One list's index within a scope: the list it was built from, its
// records then, and per key a dict from key to the first record carrying it.
struct ListIndex {
  enum State { kUnbuilt, kBuilt, kScanOnly } state = kUnbuilt;
  py::object list;
  py::object snapshot;
  py::object first[2];
};

class LookupIndexScope {
 public:
  explicit LookupIndexScope(py::handle asic);
  ~LookupIndexScope();
  LookupIndexScope(const LookupIndexScope&) = delete;
  LookupIndexScope& operator=(const LookupIndexScope&) = delete;

  // The index slot of list `list` (0 port map, 1 VLAN translations) of the
  // innermost scope covering `asic`, or null when none covers it.
  static ListIndex* slot(PyObject* asic, int list);

  // The scope's dict for the untagged-list sets of construction_indexes.hpp
  // (made at first use), or null when no scope covers `asic`.
  static py::object* untagged_sets(PyObject* asic);

 private:
  PyObject* asic_;
  ListIndex indexes_[2];
  py::object untagged_sets_;
  LookupIndexScope* outer_;
};

}  // namespace fanoutprobe
