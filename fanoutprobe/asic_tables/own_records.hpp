// Making records of the module's own classes without the class call.
//
// Readers look a record class up in the module when they run (as a Python
// global would be) and call it per record. When the class found is still
// the one the module defined, with its own __init__, allocation and
// attribute setting, calling it does exactly this: a bare instance from
// object.__new__, then the __init__ operation with the instance and the
// arguments. `make_record` does those two steps itself, which saves the
// argument tuple and the __init__ lookup of the class call; any other class
// (a replacement in the module, a changed __init__, __new__ or
// __setattr__, another metaclass) is called as usual.
#pragma once

#include <pybind11/pybind11.h>

#include "common/host_calls.hpp"

namespace fanoutprobe {

namespace py = pybind11;

enum class Record {
  kKernMdbEntry, kKernMdbCache, kKernVlanEntry, kKernVlanDevEntry, kKernDevEntry,
  kPortmapEntry, kVlanXlate, kVlanEntry, kEncap, kReplicationGroup, kHmroute,
  kCount
};

// At start-up, right after the class is built.
void remember_own_class(Record record, const py::object& cls);

// The own class of `record` as the module defined it (null before then).
PyTypeObject* own_class(Record record);

// The instance's __init__ function when `cls` is the unchanged own class
// of `record`, else null (no error).
PyObject* own_init(Record record, py::handle cls);

// A new bare instance of an own class (object.__new__), null on error.
py::object bare_instance(py::handle cls);

template <typename... Args>
py::object make_record(Record record, py::handle cls, const Args&... args) {
  PyObject* init = own_init(record, cls);
  if (!init) return common::call(cls, args...);
  SW_LET(made, bare_instance(cls));
  PyObject* const argv[] = {made.ptr(), py::handle(args).ptr()...};
  SW_LET(result, common::steal(PyObject_Vectorcall(init, argv, sizeof...(Args) + 1, nullptr)));
  return made;  // the own __init__ returns None
}

}  // namespace fanoutprobe
