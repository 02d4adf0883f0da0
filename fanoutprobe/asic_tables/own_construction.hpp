// Whether an Asic's construction runs only this module's own code.
//
// The construction indexes (first_match_index.hpp, construction_indexes.hpp)
// stand for lists that an override run between two questions may change in
// place; each question then checks that its list still holds the records
// its index was made from, which costs the list's length. That check is
// needed only when such an override can run. It cannot when the object's
// class finds every operation the construction calls up to the end of the
// replication-group read, and every member those readers reach through the
// object, where the Asic class was built with them (no subclass or class
// patch replaced one, no __getattribute__ or __getattr__ of its own), and
// the object holds none of those operations itself. The only other code
// run between two questions is then the outside services' (the shell, the
// port names, the record classes looked up in the module), which are handed
// texts and numbers, not the lists; where a record class is handed one (a
// VLAN's untagged list, a port map record's update) the index keeps its
// check unless the record's class finds what the module's own class found
// when built (a class patched in place does not).
#pragma once

#include <pybind11/pybind11.h>

namespace fanoutprobe {

namespace py = pybind11;

// At start-up, right after the Asic class is built.
void remember_own_asic(const py::object& cls);

// 1 when only own code runs between the index questions of `asic`'s
// construction, 0 when an override may, -1 with the error set.
int runs_own_construction(py::handle asic);

// Whether `record.update_port_vid(...)` runs only the own PortmapEntry
// operation: its class finds that operation, and the members it stores
// through, as the own class was built with them.
bool own_port_vid_update(py::handle record);

// Whether the VLAN record `entry` was handed its untagged list, and gives
// it back, only as the own VlanEntry does: its class finds the members
// that make, store and read it as the own class was built with them.
bool own_untagged_list(py::handle entry);

}  // namespace fanoutprobe
