// The hardware routes for the caller: their keys, one report block per
// route (the route, its differences, its replication group's members), the
// report written to standard output, and the Asic's text form.
#include "common/host_calls.hpp"
#include "fanoutprobe/asic_tables/asic_operations.hpp"
#include "fanoutprobe/asic_tables/shell_access.hpp"
#include "fanoutprobe/names.hpp"

namespace fanoutprobe {

namespace {

// The keys of `mroutes` in plain text order.
py::object sorted_keys(py::handle mroutes) {
  SW_LET(keys, common::steal(PySequence_List(mroutes.ptr())));
  if (PyList_Sort(keys.ptr()) < 0) return {};
  return keys;
}

// sys.stdout.write(block), with sys.stdout looked up at each write.
py::object write_out(py::handle block) {
  SW_LET(sys, common::get(module_handle(), names.sys));
  SW_LET(stdout_object, common::get(sys, names.stdout));
  SW_CHECK(common::call_method(stdout_object, names.write, block));
  return common::none();
}

py::object write_route(py::handle self, py::handle mroute) {
  SW_LET(block, common::call_method(self, names._dump_one_mroute, mroute));
  SW_LET(text, common::percent_text("%s", block));
  return write_out(text);
}

}  // namespace

py::object get_mroutes(py::handle self) {
  SW_LET(mroutes, common::get(self, names.mroutes));
  return common::steal(PySet_New(mroutes.ptr()));
}

py::object dump_one_mroute(py::handle self, py::handle mroute) {
  static PyObject* get = PyUnicode_InternFromString("get");
  SW_LET(text, common::percent_text("%s\n", mroute));
  SW_LET(grp, common::get(mroute, names.grp));
  SW_LET(groups, common::get(self, names.replication_groups));
  SW_LET(group, common::call_method(groups, get, grp));
  if (group.is_none()) return text;
  SW_LET(group_text, common::percent_text("%s", group));
  return common::steal(PyUnicode_Concat(text.ptr(), group_text.ptr()));
}

py::object asic_str(py::handle self) {
  FANOUTPROBE_TEXT(header, "Asic ip mroutes:\n");
  SW_LET(mroutes, common::get(self, names.mroutes));
  SW_LET(keys, sorted_keys(mroutes));
  SW_LET(parts, common::steal(PyList_New(0)));
  if (PyList_Append(parts.ptr(), header.ptr()) < 0) return {};
  for (Py_ssize_t i = 0; i < PyList_GET_SIZE(keys.ptr()); ++i) {
    SW_LET(mroute, common::item(mroutes, PyList_GET_ITEM(keys.ptr(), i)));
    SW_LET(block, common::call_method(self, names._dump_one_mroute, mroute));
    if (PyList_Append(parts.ptr(), block.ptr()) < 0) return {};
  }
  FANOUTPROBE_TEXT(empty, "");
  return common::steal(PyUnicode_Join(empty.ptr(), parts.ptr()));
}

py::object dump_mroutes(py::handle self, py::handle filter_mroutes) {
  static PyObject* get = PyUnicode_InternFromString("get");
  SW_LET(mroutes, common::get(self, names.mroutes));
  int chosen = filter_mroutes.is_none() ? 0 : common::truth(filter_mroutes);
  if (chosen < 0) return {};
  if (!chosen) {
    SW_LET(keys, sorted_keys(mroutes));
    for (Py_ssize_t i = 0; i < PyList_GET_SIZE(keys.ptr()); ++i) {
      SW_LET(mroute, common::item(mroutes, PyList_GET_ITEM(keys.ptr(), i)));
      SW_CHECK(write_route(self, mroute));
    }
    return common::none();
  }
  SW_LET(iterator, common::steal(PyObject_GetIter(filter_mroutes.ptr())));
  while (PyObject* next = PyIter_Next(iterator.ptr())) {
    py::object key = common::steal(next);
    SW_LET(mroute, common::call_method(mroutes, get, key));
    if (mroute.is_none()) continue;
    SW_CHECK(write_route(self, mroute));
  }
  if (PyErr_Occurred()) return {};
  return common::none();
}

}  // namespace fanoutprobe
