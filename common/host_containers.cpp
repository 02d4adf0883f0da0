#include "common/host_containers.hpp"

namespace common {

namespace {

PyObject* interned(const char* text) {
  // Kept for the life of the process, like a module's name table.
  return PyUnicode_InternFromString(text);
}

}  // namespace

int unpack(py::handle value, py::object* out, std::size_t count) {
  PyObject* raw = value.ptr();
  const Py_ssize_t expected = static_cast<Py_ssize_t>(count);
  if ((PyTuple_CheckExact(raw) || PyList_CheckExact(raw)) && Py_SIZE(raw) == expected) {
    PyObject** items = PyTuple_CheckExact(raw) ? &PyTuple_GET_ITEM(raw, 0)
                                                : &PyList_GET_ITEM(raw, 0);
    for (std::size_t i = 0; i < count; ++i) out[i] = py::reinterpret_borrow<py::object>(items[i]);
    return 0;
  }
  PyObject* iterator = PyObject_GetIter(raw);
  if (!iterator) {
    if (PyErr_ExceptionMatches(PyExc_TypeError) && !Py_TYPE(raw)->tp_iter &&
        !PySequence_Check(raw)) {
      PyErr_Format(PyExc_TypeError, "cannot unpack non-iterable %.200s object",
                   Py_TYPE(raw)->tp_name);
    }
    return -1;
  }
  py::object items = py::reinterpret_steal<py::object>(iterator);
  std::size_t got = 0;
  for (;; ++got) {
    PyObject* item = PyIter_Next(items.ptr());
    if (!item) {
      if (PyErr_Occurred()) return -1;
      break;
    }
    if (got == count) {
      Py_DECREF(item);
      PyErr_Format(PyExc_ValueError, "too many values to unpack (expected %zd)", expected);
      return -1;
    }
    out[got] = py::reinterpret_steal<py::object>(item);
  }
  if (got < count) {
    PyErr_Format(PyExc_ValueError, "not enough values to unpack (expected %zd, got %zd)",
                 expected, static_cast<Py_ssize_t>(got));
    return -1;
  }
  return 0;
}

int append(py::handle sequence, py::handle item) {
  if (PyList_CheckExact(sequence.ptr())) return PyList_Append(sequence.ptr(), item.ptr());
  static PyObject* const name = interned("append");
  if (!name) return PyErr_NoMemory(), -1;
  PyObject* argv[] = {sequence.ptr(), item.ptr()};
  PyObject* result = PyObject_VectorcallMethod(name, argv, 2 | PY_VECTORCALL_ARGUMENTS_OFFSET,
                                               nullptr);
  if (!result) return -1;
  Py_DECREF(result);
  return 0;
}

int update_dict(py::handle target, py::handle other) {
  if (PyDict_CheckExact(other.ptr())) return PyDict_Merge(target.ptr(), other.ptr(), 1);
  static PyObject* const keys = interned("keys");
  if (!keys) return PyErr_NoMemory(), -1;
  PyObject* method = nullptr;
  if (_PyObject_LookupAttr(other.ptr(), keys, &method) < 0) return -1;
  if (method) {
    Py_DECREF(method);
    return PyDict_Merge(target.ptr(), other.ptr(), 1);
  }
  return PyDict_MergeFromSeq2(target.ptr(), other.ptr(), 1);
}

}  // namespace common
