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
// Asic, a list asked about a second time is answered from a set of its
// names.
//
// Both are dropped with their scope, never stored in the object, and stand
// only for lists of plain texts (str, not a subclass: their == is the
// dict's): any other record or name goes to the walk. An override run in
// the middle may change the lists in place, so an index is used only while
// its list is the same object holding the same items (list_snapshot.hpp),
// and a record found through it is checked again against the name.
#pragma once

#include <pybind11/pybind11.h>

namespace fanoutprobe {

namespace py = pybind11;

class PortVidScope {
 public:
  explicit PortVidScope(py::handle asic);
  ~PortVidScope();
  PortVidScope(const PortVidScope&) = delete;
  PortVidScope& operator=(const PortVidScope&) = delete;

  // The positions in `portmap` of the records whose dport is `dport`, in
  // list order, as a list of ints; a null object without error when only
  // the walk can answer.
  static py::object positions_named(py::handle asic, py::handle portmap, py::handle dport);

  // Whether `portmap` still holds the records the positions were taken
  // from (so a walk must take over when a call in between changed it).
  static bool unchanged(py::handle asic, py::handle portmap);

 private:
  // The innermost live scope of `asic`, or null.
  static PortVidScope* of(py::handle asic);

  PyObject* asic_;
  py::object list_;       // the port map the groups were made from
  py::object snapshot_;   // its records then
  py::object groups_;     // dict: dport -> list of positions; None: walk only
  PortVidScope* outer_;
};

// Whether `dport` is one of the names of `untagged` (a VLAN's untagged
// port list) as `dport in untagged` answers: 1, 0, or -1 with the error set.
int untagged_member(py::handle asic, py::handle untagged, py::handle dport);

}  // namespace fanoutprobe
