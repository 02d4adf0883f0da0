#include "common/method_descriptor.hpp"

#include <structmember.h>

namespace common {

namespace {

struct MethodDescriptor {
  PyObject_HEAD
  vectorcallfunc vectorcall;
  PyObject* function;
};

MethodDescriptor* as_descriptor(PyObject* self) { return reinterpret_cast<MethodDescriptor*>(self); }

PyObject* call_function(PyObject* self, PyObject* const* args, size_t nargsf, PyObject* kwnames) {
  return PyObject_Vectorcall(as_descriptor(self)->function, args, nargsf, kwnames);
}

PyObject* bind(PyObject* self, PyObject* obj, PyObject*) {
  PyObject* function = as_descriptor(self)->function;
  if (!obj) return Py_NewRef(function);
  return PyMethod_New(function, obj);
}

// The wrapper's own attributes first, then the function's.
PyObject* get_attribute(PyObject* self, PyObject* name) {
  PyObject* own = PyObject_GenericGetAttr(self, name);
  if (own || !PyErr_ExceptionMatches(PyExc_AttributeError)) return own;
  PyErr_Clear();
  return PyObject_GetAttr(as_descriptor(self)->function, name);
}

void deallocate(PyObject* self) {
  PyTypeObject* type = Py_TYPE(self);
  Py_XDECREF(as_descriptor(self)->function);
  type->tp_free(self);
  Py_DECREF(type);
}

PyObject* documentation(PyObject* self, void*) {
  return PyObject_GetAttrString(as_descriptor(self)->function, "__doc__");
}

PyGetSetDef accessors[] = {
    {"__doc__", &documentation, nullptr, nullptr, nullptr},
    {nullptr, nullptr, nullptr, nullptr, nullptr},
};

PyMemberDef members[] = {
    {"__func__", T_OBJECT, offsetof(MethodDescriptor, function), READONLY, nullptr},
    {"__vectorcalloffset__", T_PYSSIZET, offsetof(MethodDescriptor, vectorcall), READONLY, nullptr},
    {nullptr, 0, 0, 0, nullptr},
};

PyType_Slot slots[] = {
    {Py_tp_call, reinterpret_cast<void*>(&PyVectorcall_Call)},
    {Py_tp_descr_get, reinterpret_cast<void*>(&bind)},
    {Py_tp_getattro, reinterpret_cast<void*>(&get_attribute)},
    {Py_tp_dealloc, reinterpret_cast<void*>(&deallocate)},
    {Py_tp_members, members},
    {Py_tp_getset, accessors},
    {0, nullptr},
};

// Made once per module that uses it, and kept.
PyTypeObject* descriptor_type() {
  static PyTypeObject* type = [] {
    PyType_Spec type_spec = {"common.fast_method", static_cast<int>(sizeof(MethodDescriptor)), 0,
                        Py_TPFLAGS_DEFAULT | Py_TPFLAGS_METHOD_DESCRIPTOR | Py_TPFLAGS_IMMUTABLETYPE |
                            Py_TPFLAGS_HAVE_VECTORCALL,
                        slots};
    return reinterpret_cast<PyTypeObject*>(PyType_FromSpec(&type_spec));
  }();
  return type;
}

}  // namespace

py::object method_descriptor(const py::object& function) {
  // The fast functions bind themselves.
  if (detail::is_fast_function(function)) return function;
  PyTypeObject* type = descriptor_type();
  if (!type) throw py::error_already_set();
  auto* self = PyObject_New(MethodDescriptor, type);
  if (!self) throw py::error_already_set();
  self->vectorcall = call_function;
  self->function = Py_NewRef(function.ptr());
  return py::reinterpret_steal<py::object>(reinterpret_cast<PyObject*>(self));
}

}  // namespace common
