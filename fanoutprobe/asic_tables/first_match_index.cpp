#include "fanoutprobe/asic_tables/first_match_index.hpp"

#include "common/host_calls.hpp"
#include "fanoutprobe/names.hpp"

namespace fanoutprobe {

namespace {

using RecordKey = py::object (*)(py::handle record, int which);

struct IndexSpec {
  PyObject* list_name;
  PyObject* index_name;
  RecordKey record_key;
};

py::object portmap_key(py::handle record, int which) {
  return common::get(record, which == 0 ? names.dport : names.linux_port);
}

py::object xlate_key(py::handle record, int which) {
  SW_LET(lport, common::get(record, names.lport));
  SW_LET(vid, common::get(record, which == 0 ? names.ivid : names.evid));
  return common::steal(PyTuple_Pack(2, lport.ptr(), vid.ptr()));
}

// The stored index when it still describes `list`.
py::object stored_index(py::handle self, const IndexSpec& spec, py::handle list) {
  py::object index = common::get(self, spec.index_name);
  if (!index) {
    PyErr_Clear();
    return {};
  }
  if (!PyTuple_CheckExact(index.ptr()) || PyTuple_GET_SIZE(index.ptr()) != 4 ||
      PyTuple_GET_ITEM(index.ptr(), 0) != list.ptr())
    return {};
  Py_ssize_t length = PyObject_Size(list.ptr());
  if (length < 0) {
    PyErr_Clear();
    return {};
  }
  if (PyLong_AsSsize_t(PyTuple_GET_ITEM(index.ptr(), 1)) != length) return {};
  return index;
}

// A new index of `list`, stored on the object; null (no error) when the
// records cannot be indexed, so the caller scans.
py::object built_index(py::handle self, const IndexSpec& spec, py::handle list) {
  py::object maps[2] = {common::steal(PyDict_New()), common::steal(PyDict_New())};
  py::object iterator = common::steal(PyObject_GetIter(list.ptr()));
  bool ok = maps[0] && maps[1] && iterator;
  Py_ssize_t length = 0;
  while (ok) {
    py::object record = common::steal(PyIter_Next(iterator.ptr()));
    if (!record) {
      ok = !PyErr_Occurred();
      break;
    }
    ++length;
    for (int which = 0; which < 2 && ok; ++which) {
      py::object key = spec.record_key(record, which);
      ok = key && PyDict_SetDefault(maps[which].ptr(), key.ptr(), record.ptr()) != nullptr;
    }
  }
  py::object index;
  if (ok) index = common::steal(Py_BuildValue("(OnOO)", list.ptr(), length, maps[0].ptr(), maps[1].ptr()));
  if (index && common::set(self, spec.index_name, index) == 0) return index;
  if (PyErr_ExceptionMatches(PyExc_Exception)) PyErr_Clear();
  return {};
}

// The first record of `list` whose key equals `key`, as a scan finds it.
py::object scan(const IndexSpec& spec, py::handle list, int which, py::handle key) {
  SW_LET(iterator, common::steal(PyObject_GetIter(list.ptr())));
  while (PyObject* next = PyIter_Next(iterator.ptr())) {
    py::object record = common::steal(next);
    SW_LET(record_key, spec.record_key(record, which));
    SW_LET(same, common::equal(record_key, key));
    if (same) return record;
  }
  if (PyErr_Occurred()) return {};
  return common::none();
}

py::object first_match(py::handle self, const IndexSpec& spec, int which, py::handle key) {
  SW_LET(list, common::get(self, spec.list_name));
  py::object index = stored_index(self, spec, list);
  if (!index) {
    if (PyErr_Occurred()) return {};
    index = built_index(self, spec, list);
    if (!index && PyErr_Occurred()) return {};
  }
  if (index) {
    PyObject* record = PyDict_GetItemWithError(PyTuple_GET_ITEM(index.ptr(), 2 + which), key.ptr());
    if (!record && !PyErr_Occurred()) return common::none();
    if (record) {
      py::object held = common::borrow(record);
      SW_LET(record_key, spec.record_key(held, which));
      SW_LET(same, common::equal(record_key, key));
      if (same) return held;
      // A record changed in place: forget the index, answer by the scan.
      if (PyObject_DelAttr(self.ptr(), spec.index_name) < 0) return {};
    } else if (PyErr_ExceptionMatches(PyExc_TypeError)) {
      PyErr_Clear();  // an unhashable key: only the scan can compare it
    } else {
      return {};
    }
  }
  return scan(spec, list, which, key);
}

}  // namespace

py::object first_portmap_entry(py::handle self, PortmapKey key, py::handle value) {
  static const IndexSpec spec{names.portmap, names._portmap_index, &portmap_key};
  return first_match(self, spec, static_cast<int>(key), value);
}

py::object first_vlan_xlate(py::handle self, XlateKey key, py::handle lport, py::handle vid) {
  static const IndexSpec spec{names.vlan_xlate, names._vlan_xlate_index, &xlate_key};
  SW_LET(pair, common::steal(PyTuple_Pack(2, lport.ptr(), vid.ptr())));
  return first_match(self, spec, static_cast<int>(key), pair);
}

}  // namespace fanoutprobe
