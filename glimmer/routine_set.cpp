// `set_functions` is a set of routine texts (each distinct text once) that
// also remembers the order the texts first arrived in, so the program lists
// its routines in the order they first appear along the LED chain, the same
// on every run. It is a real set: `add`, `in`, `len` and set comparison
// behave as for any set. Texts that reach it around `add` (set methods
// such as update) follow the ordered ones, sorted by their text form.
//
// The arrival order lives in the instance's `_order` list. A copy or a
// pickle is made from the texts in order, so it gets an order list of its
// own; the class is bound in the module as `_RoutineSet`, where pickle
// looks for it.
#include <pybind11/pybind11.h>

#include "common/class_builder.hpp"
#include "common/fast_function.hpp"
#include "common/host_calls.hpp"
#include "common/host_containers.hpp"
#include "glimmer/names.hpp"
#include "glimmer/operations.hpp"

namespace glimmer {

namespace {

constexpr const char* kDoc = "Routine texts of an LED program, each once, in order of first arrival.";

// The host's repr, kept from start-up.
py::handle& by_repr() {
  static py::handle function;
  return function;
}

py::object routine_set_init(py::handle self, py::handle texts) {
  // set.__init__ with no texts empties the set.
  SW_LET(no_arguments, common::steal(PyTuple_New(0)));
  SW_CHECK(PySet_Type.tp_init(self.ptr(), no_arguments.ptr(), nullptr));
  SW_LET(order, common::steal(PyList_New(0)));
  SW_CHECK(common::set(self, names._order, order));
  SW_LET(iterator, common::steal(PyObject_GetIter(texts.ptr())));
  while (PyObject* raw = PyIter_Next(iterator.ptr())) {
    py::object text = common::steal(raw);
    SW_CHECK(common::call_method(self, names.add, text));
  }
  if (PyErr_Occurred()) return {};
  return common::none();
}

py::object add(py::handle self, py::handle text) {
  SW_LET(present, PySet_Contains(self.ptr(), text.ptr()));
  if (present) return common::none();
  SW_CHECK(PySet_Add(self.ptr(), text.ptr()));
  SW_LET(order, common::get(self, names._order));
  SW_CHECK(common::append(order, text));
  return common::none();
}

// The texts in order of first arrival, then the rest sorted by their text
// form.
py::object iterate(py::handle self) {
  SW_LET(order, common::get(self, names._order));
  SW_LET(ordered, common::steal(PyList_New(0)));
  SW_LET(seen, common::steal(PySet_New(nullptr)));
  SW_LET(arrivals, common::steal(PyObject_GetIter(order.ptr())));
  while (PyObject* raw = PyIter_Next(arrivals.ptr())) {
    py::object text = common::steal(raw);
    SW_LET(member, PySet_Contains(self.ptr(), text.ptr()));
    SW_LET(repeated, PySet_Contains(seen.ptr(), text.ptr()));
    if (member && !repeated) {
      SW_CHECK(PyList_Append(ordered.ptr(), text.ptr()));
      SW_CHECK(PySet_Add(seen.ptr(), text.ptr()));
    }
  }
  if (PyErr_Occurred()) return {};
  if (PyList_GET_SIZE(ordered.ptr()) == PySet_GET_SIZE(self.ptr())) {
    return common::steal(PyObject_GetIter(ordered.ptr()));
  }
  SW_LET(rest, common::steal(PyList_New(0)));
  SW_LET(members, common::steal(PySet_Type.tp_iter(self.ptr())));
  while (PyObject* raw = PyIter_Next(members.ptr())) {
    py::object text = common::steal(raw);
    SW_LET(repeated, PySet_Contains(seen.ptr(), text.ptr()));
    if (!repeated) SW_CHECK(PyList_Append(rest.ptr(), text.ptr()));
  }
  if (PyErr_Occurred()) return {};
  // Sorted by repr, as a key the host computes: texts of any kind compare.
  static PyObject* const key_only = PyTuple_Pack(1, names.key);
  if (!key_only) return {};
  SW_LET(sort, common::get(rest, names.sort));
  SW_CHECK(common::call_with_keywords(sort, {by_repr()}, key_only));
  const Py_ssize_t end = PyList_GET_SIZE(ordered.ptr());
  SW_CHECK(PyList_SetSlice(ordered.ptr(), end, end, rest.ptr()));
  return common::steal(PyObject_GetIter(ordered.ptr()));
}

// (class, (texts in order,), other instance state): rebuilt through
// __init__, so a copy has an order list of its own.
py::object reduce(py::handle self) {
  SW_LET(texts, common::steal(PySequence_List(self.ptr())));
  SW_LET(arguments, common::steal(PyTuple_Pack(1, texts.ptr())));
  SW_LET(state, common::get(self, names.dunder_dict));
  SW_LET(other_state, common::steal(PyDict_Copy(state.ptr())));
  if (PyDict_DelItem(other_state.ptr(), names._order) < 0) {
    if (!PyErr_ExceptionMatches(PyExc_KeyError)) return {};
    PyErr_Clear();
  }
  py::object kept = PyDict_GET_SIZE(other_state.ptr()) ? other_state : common::none();
  return common::steal(PyTuple_Pack(3, reinterpret_cast<PyObject*>(Py_TYPE(self.ptr())),
                                    arguments.ptr(), kept.ptr()));
}

}  // namespace

void define_routine_set(py::module_& module) {
  by_repr() = py::object(py::module_::import("builtins").attr("repr")).release();
  py::object set_type = py::reinterpret_borrow<py::object>(reinterpret_cast<PyObject*>(&PySet_Type));
  common::ClassBuilder(module, "_RoutineSet", py::make_tuple(set_type), kDoc)
      .attr("__init__", common::fast_method("_RoutineSet", "__init__", &routine_set_init,
                                            {"self", {"texts", py::tuple()}}))
      .attr("add", common::fast_method("_RoutineSet", "add", &add, {"self", "text"}))
      .attr("__iter__", common::fast_method("_RoutineSet", "__iter__", &iterate, {"self"}))
      .attr("__reduce__", common::fast_method("_RoutineSet", "__reduce__", &reduce, {"self"}))
      .build();
}

}  // namespace glimmer
