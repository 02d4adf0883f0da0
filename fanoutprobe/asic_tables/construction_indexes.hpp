// Indexes that keep two construction-time readers linear.
//
// `_parse_ports` asks `_update_portmap_port_vid` once per "pvlan show" row,
// and each question walks the whole port map: ports x rows. While a
// `PortVidScope` lives (the reader opens one), the walk answers from the
// port map's records grouped by port name, made at the first question.
//
// The replication-group reader asks `_is_port_untagged_for_vid` once per
// L3 member, and each question walks one VLAN's untagged port list: members
// x ports. While a `LookupIndexScope` (first_match_index.hpp) covers the
// Asic, a list asked about a second time is answered from a dict of its
// names.
//
// Both are dropped with their scope, never stored in the object, and hold
// only plain names (plain_keys.hpp: str and int, and subclasses keeping
// their comparison and hash); a record or name of another kind is compared
// beside the index, where and in the order the walk would compare it, and
// a name asked of another kind goes to the walk. An index is used only
// while its list is the same object holding as many items; when an override
// may run in the middle (own_construction.hpp), and so change the lists in
// place, also only while the list holds the same items in the same order
// (list_snapshot.hpp). A record found through an index is checked again
// against the name.
//
// Limits: a port map record renamed in place (its dport changed) by an
// override while the scope lives keeps its place in the groups until they
// are made again for another reason: it is not updated under its new name.
// When only own code runs between two questions, the lists are checked by
// length alone: Python code that reaches the object from outside the
// operations a class can replace (a gc callback, another thread, an outside
// service holding a reference) and changes a list in place at the same
// length is not seen.
#pragma once

#include <pybind11/pybind11.h>

#include <vector>

namespace fanoutprobe {

namespace py = pybind11;

class PortVidScope {
 public:
  // `own_code`: whether only own code runs between two questions
  // (runs_own_construction), so no per-question check is needed.
  PortVidScope(py::handle asic, bool own_code);
  ~PortVidScope();
  PortVidScope(const PortVidScope&) = delete;
  PortVidScope& operator=(const PortVidScope&) = delete;

  // The positions in `portmap` of the records whose dport is `dport`, in
  // list order, as a list of ints; a null object without error when only
  // the walk can answer.
  static py::object positions_named(py::handle asic, py::handle portmap, py::handle dport);

  // Whether `portmap` still holds the records the positions were taken
  // from, after `record.update_port_vid` ran (so a walk must take over when
  // that call changed it). A change seen drops the groups: the next
  // question makes them again.
  static bool unchanged(py::handle asic, py::handle portmap, py::handle record);

 private:
  // The innermost live scope of `asic`, or null.
  static PortVidScope* of(py::handle asic);

  // Whether the port map may have changed since the groups were made;
  // with `own_code`, only own code ran since then.
  bool may_differ(py::handle portmap, bool own_code) const;

  PyObject* asic_;
  bool own_code_;
  py::object list_;       // the port map the groups were made from
  py::object snapshot_;   // its records then
  py::object groups_;     // dict: plain dport -> list of positions
  std::vector<Py_ssize_t> others_;  // positions of the records with another dport
  PortVidScope* outer_;
};

// Whether `dport` is one of the names of `untagged` (the untagged port list
// of the VLAN record `entry`) as `dport in untagged` answers: 1, 0, or -1
// with the error set.
int untagged_member(py::handle asic, py::handle entry, py::handle untagged, py::handle dport);

}  // namespace fanoutprobe
