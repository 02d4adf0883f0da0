// The records of a list at one moment, for an index made from them.
//
// An override run in the middle of a reader may replace, add, remove or
// reorder a list's records in place; an index made before then would
// answer from records that are no longer there. A snapshot holds the
// list's items (so none can be freed and its address given to a new
// object) and tells, by comparing addresses alone, without calling into
// Python, whether the list still holds exactly those objects in that
// order.
#pragma once

#include <pybind11/pybind11.h>

#include <cstring>

namespace fanoutprobe {

namespace py = pybind11;

// A tuple of the items of `list` (an exact list); null with the error set.
inline py::object snapshot_of(py::handle list) {
  return py::reinterpret_steal<py::object>(PyList_AsTuple(list.ptr()));
}

// Whether `list` (an exact list) holds the items of `snapshot` (a tuple
// from snapshot_of), the same objects in the same order. When only own code
// ran since the snapshot was taken (own_construction.hpp), nothing can have
// changed the items in place: the length alone tells, in constant time.
inline bool holds_snapshot(py::handle list, py::handle snapshot, bool only_own_code_ran = false) {
  const Py_ssize_t length = PyList_GET_SIZE(list.ptr());
  if (length != PyTuple_GET_SIZE(snapshot.ptr())) return false;
  if (only_own_code_ran) return true;
  return length == 0 || std::memcmp(&PyList_GET_ITEM(list.ptr(), 0), &PyTuple_GET_ITEM(snapshot.ptr(), 0),
                                    static_cast<std::size_t>(length) * sizeof(PyObject*)) == 0;
}

}  // namespace fanoutprobe
