#include "asicmodel/core/port_constructor.hpp"

#include <memory>
#include <stdexcept>

namespace asicmodel {

py::object default_value(Default value) {
  switch (value) {
    case Default::kFalse:
      return py::bool_(false);
    case Default::kZero:
      return py::int_(0);
    case Default::kNone:
      break;
  }
  return py::none();
}

std::size_t Fields::index_of(PyObject* name) const {
  // Bodies mostly ask for the fields in their order: start after the last.
  const std::size_t start = next_ < size_ ? next_ : 0;
  for (std::size_t i = start; i < size_; ++i) {
    if (names_[i] == name) {
      next_ = i + 1;
      return i;
    }
  }
  for (std::size_t i = 0; i < start; ++i) {
    if (names_[i] == name) {
      next_ = i + 1;
      return i;
    }
  }
  return size_;
}

py::handle Fields::get(PyObject* name) const {
  std::size_t i = index_of(name);
  return i < size_ ? py::handle(values_[i]) : py::handle();
}

void Fields::set(PyObject* name, py::handle value) {
  std::size_t i = index_of(name);
  if (i == size_) {
    if (size_ == kCapacity) throw std::length_error("too many constructor fields");
    names_[size_] = name;
    values_[size_++] = Py_XNewRef(value.ptr());
    return;
  }
  Py_XSETREF(values_[i], Py_XNewRef(value.ptr()));
}

py::object Fields::pop(PyObject* name) {
  std::size_t i = index_of(name);
  if (i == size_) return {};
  py::object value = common::steal(values_[i]);
  for (std::size_t j = i + 1; j < size_; ++j) {
    names_[j - 1] = names_[j];
    values_[j - 1] = values_[j];
  }
  --size_;
  return value;
}

namespace {

struct ConstructorData {
  std::vector<PyObject*> names;  // interned, after `self`
  ConstructorBody body;
};

py::object run_constructor(void* data, PyObject* const* args) {
  const auto& constructor = *static_cast<const ConstructorData*>(data);
  Fields fields;
  // Parameter names are distinct and fewer than the capacity (checked
  // when the constructor is made).
  for (std::size_t i = 0; i < constructor.names.size(); ++i) {
    fields.append(constructor.names[i], args[i + 1]);
  }
  return constructor.body(args[0], fields);
}

// Keyword-name tuples by shape, made once: a chain passes the same names
// at every construction of a class.
PyObject* keyword_names(const Fields& fields) {
  // Never freed: static destructors run after the interpreter is gone.
  static auto& shapes = *new std::vector<py::object>();
  for (const py::object& shape : shapes) {
    if (static_cast<std::size_t>(PyTuple_GET_SIZE(shape.ptr())) != fields.size()) continue;
    bool same = true;
    for (std::size_t i = 0; same && i < fields.size(); ++i) {
      same = PyTuple_GET_ITEM(shape.ptr(), i) == fields.name(i);
    }
    if (same) return shape.ptr();
  }
  PyObject* tuple = PyTuple_New(static_cast<Py_ssize_t>(fields.size()));
  if (!tuple) return nullptr;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    Py_INCREF(fields.name(i));
    PyTuple_SET_ITEM(tuple, i, fields.name(i));
  }
  shapes.push_back(common::steal(tuple));
  return tuple;
}

}  // namespace

void bind_constructor_names(ClassBuilder& port_class, std::vector<common::Param> params,
                            ConstructorBody body, const char* doc) {
  auto data = std::make_unique<ConstructorData>();
  data->body = body;
  if (params.size() > Fields::kCapacity + 1) throw std::length_error("too many constructor fields");
  for (std::size_t i = 1; i < params.size(); ++i) {
    PyObject* name = PyUnicode_InternFromString(params[i].name);
    if (!name) throw py::error_already_set();
    data->names.push_back(name);  // kept for the life of the process
  }
  // The class's constructor lives as long as the process, and so does this.
  port_class.method_object(
      "__init__", common::fast_function_array("__init__", port_class.name() + ".__init__", doc,
                                              &run_constructor, data.release(), params));
}

py::object init_base(PyObject* base_class, py::handle self, const Fields& fields) {
  SW_LET(base, common::get(this_module(), base_class));
  SW_LET(init, common::get(base, names.dunder_init));
  PyObject* keywords = keyword_names(fields);
  if (!keywords) return {};
  PyObject* argv[Fields::kCapacity + 1];
  argv[0] = self.ptr();
  for (std::size_t i = 0; i < fields.size(); ++i) argv[i + 1] = fields.values()[i];
  SW_LET(result, common::call_with_keywords(init, argv, fields.size() + 1, keywords));
  return common::none();
}

}  // namespace asicmodel
