// `set_functions` is a set of routine texts (each distinct text once) that
// also remembers the order the texts first arrived in, so the program lists
// its routines in the order they first appear along the LED chain, the same
// on every run. It is a real set: `add`, `in`, `len` and set comparison
// behave as for any set. Texts that reach it around `add` (set methods
// such as update) follow the ordered ones, sorted by their text form.
#include <pybind11/pybind11.h>

#include "common/host_values.hpp"
#include "glimmer/operations.hpp"

namespace glimmer {

namespace {

py::handle set_type() { return reinterpret_cast<PyObject*>(&PySet_Type); }

// The class is made once at start-up and kept for the life of the process.
py::handle& routine_set_class() {
  static py::handle cls;
  return cls;
}

bool holds(py::handle self, py::handle text) {
  int found = PySet_Contains(self.ptr(), text.ptr());
  if (found < 0) throw py::error_already_set();
  return found == 1;
}

void add(py::object self, py::object text) {
  if (holds(self, text)) return;
  if (PySet_Add(self.ptr(), text.ptr()) != 0) throw py::error_already_set();
  self.attr("_order").attr("append")(text);
}

void routine_set_init(py::object self, py::object texts) {
  set_type().attr("__init__")(self);
  self.attr("_order") = py::list();
  for (py::handle text : py::iter(texts)) add(self, py::reinterpret_borrow<py::object>(text));
}

py::object iterate(py::object self) {
  py::list ordered;
  py::set seen;
  for (py::handle text : self.attr("_order")) {
    if (holds(self, text) && !holds(seen, text)) {
      ordered.append(text);
      seen.add(text);
    }
  }
  py::list rest;
  py::object members = py::reinterpret_steal<py::object>(PySet_Type.tp_iter(self.ptr()));
  if (!members) throw py::error_already_set();
  for (py::handle text : py::iter(members)) {
    if (!holds(seen, text)) rest.append(text);
  }
  py::dict by_text;
  by_text["key"] = common::builtin("repr");
  for (py::handle text : common::builtin("sorted")(rest, **by_text)) ordered.append(text);
  return ordered.attr("__iter__")();
}

py::object instance_method(py::cpp_function fn) {
  return py::reinterpret_steal<py::object>(PyInstanceMethod_New(fn.ptr()));
}

}  // namespace

void define_routine_set(py::module_& module) {
  py::dict body;
  body["__module__"] = module.attr("__name__");
  body["__qualname__"] = "RoutineSet";
  body["__doc__"] = "Routine texts of an LED program, each once, in order of first arrival.";
  body["__init__"] = instance_method(py::cpp_function(&routine_set_init, py::name("__init"),
                                                      py::arg("self"),
                                                      py::arg("texts") = py::tuple()));
  body["add"] = instance_method(
      py::cpp_function(&add, py::name("add"), py::arg("self"), py::arg("text")));
  body["__iter__"] =
      instance_method(py::cpp_function(&iterate, py::name("__iter__"), py::arg("self")));
  py::object cls = common::builtin("type")("RoutineSet", py::make_tuple(set_type()), body);
  routine_set_class() = cls.release();
}

py::object new_routine_set() { return routine_set_class()(); }

}  // namespace glimmer
