#include "fanoutprobe/asic_tables/own_records.hpp"

#include "fanoutprobe/names.hpp"

namespace fanoutprobe {

namespace {

struct OwnClass {
  PyTypeObject* type = nullptr;  // held for the life of the process
  PyObject* init = nullptr;      // the __init__ method descriptor in its namespace
  PyObject* function = nullptr;  // the function it wraps
};

OwnClass own_classes[static_cast<int>(Record::kCount)];

}  // namespace

void remember_own_class(Record record, const py::object& cls) {
  OwnClass& own = own_classes[static_cast<int>(record)];
  own.type = reinterpret_cast<PyTypeObject*>(cls.inc_ref().ptr());
  py::object init = cls.attr("__dict__")["__init__"];
  own.function = py::object(init.attr("__func__")).release().ptr();
  own.init = init.release().ptr();
}

PyTypeObject* own_class(Record record) { return own_classes[static_cast<int>(record)].type; }

PyObject* own_init(Record record, py::handle cls) {
  const OwnClass& own = own_classes[static_cast<int>(record)];
  PyTypeObject* type = own.type;
  if (!type || cls.ptr() != reinterpret_cast<PyObject*>(type)) return nullptr;
  if (Py_TYPE(type) != &PyType_Type || type->tp_new != PyBaseObject_Type.tp_new ||
      type->tp_setattro != PyObject_GenericSetAttr)
    return nullptr;
  if (_PyType_Lookup(type, names.dunder_init) != own.init) return nullptr;
  return own.function;
}

py::object bare_instance(py::handle cls) {
  static const py::handle no_arguments = common::forever(py::tuple());
  auto* type = reinterpret_cast<PyTypeObject*>(cls.ptr());
  return common::steal(type->tp_new(type, no_arguments.ptr(), nullptr));
}

}  // namespace fanoutprobe
