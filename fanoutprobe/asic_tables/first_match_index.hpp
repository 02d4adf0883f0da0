// First-match lookups over the Asic's port map and VLAN translation list.
//
// The readers' lookups take the first record of a list whose key fields
// equal the arguments. Scanning is linear per question, and the
// replication-group reader asks per member, so each list gets an index kept
// beside it in the instance (`_portmap_index`, `_vlan_xlate_index`): the
// list it was built from, that list's length, and one dict per lookup from
// key to the first record carrying it. It is rebuilt when the member is
// another list or its length changed; a hit whose record no longer carries
// the key drops the index and falls back to the scan. Keys that cannot be
// hashed are answered by the scan.
#pragma once

#include <pybind11/pybind11.h>

namespace fanoutprobe {

namespace py = pybind11;

enum class PortmapKey { kDport = 0, kLinuxPort = 1 };
enum class XlateKey { kIvid = 0, kEvid = 1 };  // each with the logical port

// The first record, None when no record matches, or null with the error set.
py::object first_portmap_entry(py::handle self, PortmapKey key, py::handle value);
py::object first_vlan_xlate(py::handle self, XlateKey key, py::handle lport, py::handle vid);

}  // namespace fanoutprobe
