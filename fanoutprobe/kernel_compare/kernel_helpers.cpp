#include "fanoutprobe/kernel_compare/kernel_helpers.hpp"

namespace fanoutprobe {

bool unpack(py::handle sequence, py::object* targets, Py_ssize_t count) {
  if (PyTuple_CheckExact(sequence.ptr()) && PyTuple_GET_SIZE(sequence.ptr()) == count) {
    for (Py_ssize_t i = 0; i < count; ++i)
      targets[i] = common::borrow(PyTuple_GET_ITEM(sequence.ptr(), i));
    return true;
  }
  py::object iterator = common::steal(PyObject_GetIter(sequence.ptr()));
  if (!iterator) return false;
  for (Py_ssize_t i = 0; i < count; ++i) {
    targets[i] = common::steal(PyIter_Next(iterator.ptr()));
    if (!targets[i]) {
      if (!PyErr_Occurred())
        PyErr_Format(PyExc_ValueError, "not enough values to unpack (expected %zd, got %zd)",
                     count, i);
      return false;
    }
  }
  py::object extra = common::steal(PyIter_Next(iterator.ptr()));
  if (extra) {
    PyErr_Format(PyExc_ValueError, "too many values to unpack (expected %zd)", count);
    return false;
  }
  return !PyErr_Occurred();
}

}  // namespace fanoutprobe
