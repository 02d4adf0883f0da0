#include "common/fast_function.hpp"

#include <new>

#include <structmember.h>

#include "common/host_calls.hpp"

namespace common {

namespace detail {

namespace {

// The most parameters one operation declares (constructors take ~20).
constexpr std::size_t kMaxParameters = 32;

struct FastFunction {
  std::string name;
  std::string doc;
  bool has_doc = false;
  py::object qualname;                 // text, for the host's messages
  std::vector<py::object> names;       // interned
  std::vector<py::object> defaults;    // null: required
  std::size_t required = 0;            // parameters before the first default
  Invoker invoker = nullptr;
  AnyBody body = nullptr;
  void* data = nullptr;
  // The last call shape matched without error: its positional count, its
  // keyword-name tuple (held, so the pointer stays its own) and the
  // parameter each keyword landed on. Callers pass the same tuple at every
  // call from one place, so a repeat skips the name search.
  Py_ssize_t shape_positional = -1;
  py::object shape_keywords;
  std::vector<std::size_t> shape_slots;
};

// The callable the host sees: one object per operation, called by the
// host's vectorcall protocol straight into `enter`. It is flagged as a
// method descriptor, as the host's own functions are, so a call through an
// instance passes the object as the first argument without making a bound
// method; read from an instance it gives a bound method, from the class
// itself.
struct FastFunctionObject {
  PyObject_HEAD
  vectorcallfunc vectorcall;
  FastFunction* function;
  // Copied from `function` so that a call with every argument by position
  // (the common case) reads one object only.
  Py_ssize_t total;
  Invoker invoker;
  AnyBody body;
  void* data;
  PyObject* module;  // the defining module's name (null: none yet)
};

FastFunction* function_of(PyObject* self) {
  return reinterpret_cast<FastFunctionObject*>(self)->function;
}

// "'a'", "'a' and 'b'", "'a', 'b', and 'c'", as the host lists them.
PyObject* missing_message(const FastFunction& f, const std::size_t* missing, std::size_t count) {
  py::object list = steal(PyUnicode_FromString(""));
  for (std::size_t i = 0; i < count; ++i) {
    const char* joint = "";
    if (i > 0) joint = count == 2 ? " and " : (i + 1 == count ? ", and " : ", ");
    list = steal(PyUnicode_FromFormat("%U%s'%U'", list.ptr(), joint, f.names[missing[i]].ptr()));
    if (!list) return nullptr;
  }
  PyErr_Format(PyExc_TypeError, "%U() missing %zd required positional argument%s: %U",
               f.qualname.ptr(), static_cast<Py_ssize_t>(count), count == 1 ? "" : "s",
               list.ptr());
  return nullptr;
}

PyObject* too_many_message(const FastFunction& f, Py_ssize_t given) {
  const std::size_t total = f.names.size();
  py::object takes;
  bool plural = total != 1;
  if (f.required < total) {
    takes = steal(PyUnicode_FromFormat("from %zd to %zd", static_cast<Py_ssize_t>(f.required),
                                       static_cast<Py_ssize_t>(total)));
    plural = true;
  } else {
    takes = steal(PyUnicode_FromFormat("%zd", static_cast<Py_ssize_t>(total)));
  }
  if (!takes) return nullptr;
  PyErr_Format(PyExc_TypeError, "%U() takes %U positional argument%s but %zd %s given",
               f.qualname.ptr(), takes.ptr(), plural ? "s" : "", given,
               given == 1 ? "was" : "were");
  return nullptr;
}

// Index of the keyword among the parameters: identity first (callers'
// keyword names are interned), then text equality; -1 when absent, -2 on
// error.
// `hint` is where the keyword would sit if the caller passes the keywords in
// declaration order (constructor chains do): tried first.
Py_ssize_t parameter_index(const FastFunction& f, PyObject* keyword, std::size_t hint) {
  const std::size_t count = f.names.size();
  const std::size_t start = hint < count ? hint : 0;
  for (std::size_t i = start; i < count; ++i) {
    if (f.names[i].ptr() == keyword) return static_cast<Py_ssize_t>(i);
  }
  for (std::size_t i = 0; i < start; ++i) {
    if (f.names[i].ptr() == keyword) return static_cast<Py_ssize_t>(i);
  }
  for (std::size_t i = 0; i < f.names.size(); ++i) {
    int same = PyObject_RichCompareBool(f.names[i].ptr(), keyword, Py_EQ);
    if (same < 0) return -2;
    if (same) return static_cast<Py_ssize_t>(i);
  }
  return -1;
}

PyObject* run_body(const FastFunctionObject& f, PyObject* const* args) {
  try {
    return f.invoker(f.body, f.data, args);
  } catch (py::error_already_set& error) {
    error.restore();
  } catch (const py::builtin_exception& error) {
    error.set_error();
  } catch (const std::bad_alloc&) {
    PyErr_NoMemory();
  } catch (const std::exception& error) {
    PyErr_SetString(PyExc_RuntimeError, error.what());
  }
  return nullptr;
}

// The builtin's entry: matches the call to the declared parameters in the
// order the host does for a Python function (keywords, then the positional
// count, then what is missing), then runs the body.
PyObject* match_and_run(const FastFunctionObject& object, PyObject* const* args,
                        Py_ssize_t nargs, PyObject* kwnames) {
  const FastFunction& f = *object.function;
  const std::size_t total = f.names.size();

  PyObject* slots[kMaxParameters] = {};
  const std::size_t copied = std::min<std::size_t>(static_cast<std::size_t>(nargs), total);
  for (std::size_t i = 0; i < copied; ++i) slots[i] = args[i];
  if (kwnames && kwnames == f.shape_keywords.ptr() && nargs == f.shape_positional) {
    for (std::size_t k = 0; k < f.shape_slots.size(); ++k) slots[f.shape_slots[k]] = args[nargs + k];
  } else if (kwnames) {
    // Each keyword that lands takes a parameter of its own (a second one
    // for the same parameter is an error), so at most `total` land.
    std::size_t landed[kMaxParameters];
    const Py_ssize_t keywords = PyTuple_GET_SIZE(kwnames);
    std::size_t hint = static_cast<std::size_t>(nargs);
    for (Py_ssize_t k = 0; k < keywords; ++k) {
      PyObject* keyword = PyTuple_GET_ITEM(kwnames, k);
      Py_ssize_t index = parameter_index(f, keyword, hint);
      if (index == -2) return nullptr;
      if (index == -1) {
        PyErr_Format(PyExc_TypeError, "%U() got an unexpected keyword argument '%S'",
                     f.qualname.ptr(), keyword);
        return nullptr;
      }
      if (slots[index]) {
        PyErr_Format(PyExc_TypeError, "%U() got multiple values for argument '%S'",
                     f.qualname.ptr(), keyword);
        return nullptr;
      }
      slots[index] = args[nargs + k];
      landed[k] = static_cast<std::size_t>(index);
      hint = static_cast<std::size_t>(index) + 1;
    }
    if (static_cast<std::size_t>(nargs) <= total) {
      // The tuple it replaces is released only once all three fields are
      // written: releasing it can run Python code (a keyword name's
      // `__del__`) that calls this function and remembers a shape of its own.
      auto& shape = const_cast<FastFunction&>(f);
      py::object replaced = std::move(shape.shape_keywords);
      shape.shape_positional = nargs;
      shape.shape_keywords = borrow(kwnames);
      shape.shape_slots.assign(landed, landed + keywords);
    }
  }
  if (static_cast<std::size_t>(nargs) > total) return too_many_message(f, nargs);
  std::size_t missing[kMaxParameters];
  std::size_t missing_count = 0;
  for (std::size_t i = copied; i < f.required; ++i) {
    if (!slots[i]) missing[missing_count++] = i;
  }
  if (missing_count) return missing_message(f, missing, missing_count);
  for (std::size_t i = f.required; i < total; ++i) {
    if (!slots[i]) slots[i] = f.defaults[i].ptr();
  }
  return run_body(object, slots);
}

PyObject* enter(PyObject* self, PyObject* const* args, size_t nargsf, PyObject* kwnames) {
  // The host's own guard against runaway recursion (an override calling
  // itself through the object would otherwise exhaust the C stack).
  if (Py_EnterRecursiveCall(" while calling a Python object")) return nullptr;
  const auto& object = *reinterpret_cast<FastFunctionObject*>(self);
  const Py_ssize_t nargs = PyVectorcall_NARGS(nargsf);
  // Every argument by position: nothing to match.
  PyObject* result = !kwnames && nargs == object.total
                         ? run_body(object, args)
                         : match_and_run(object, args, nargs, kwnames);
  Py_LeaveRecursiveCall();
  return result;
}

}  // namespace

PyObject* fast_function_call(PyObject* self, PyObject* const* args, Py_ssize_t nargs) {
  const auto& object = *reinterpret_cast<FastFunctionObject*>(self);
  if (nargs != object.total) return enter(self, args, static_cast<size_t>(nargs), nullptr);
  if (Py_EnterRecursiveCall(" while calling a Python object")) return nullptr;
  PyObject* result = run_body(object, args);
  Py_LeaveRecursiveCall();
  return result;
}

namespace {

PyObject* bind(PyObject* self, PyObject* obj, PyObject*) {
  if (!obj || obj == Py_None) return Py_NewRef(self);
  return PyMethod_New(self, obj);
}

void deallocate(PyObject* self) {
  PyTypeObject* type = Py_TYPE(self);
  Py_XDECREF(reinterpret_cast<FastFunctionObject*>(self)->module);
  delete function_of(self);
  type->tp_free(self);
  Py_DECREF(type);
}

PyObject* name_of(PyObject* self, void*) {
  return PyUnicode_FromString(function_of(self)->name.c_str());
}
PyObject* qualname_of(PyObject* self, void*) { return Py_NewRef(function_of(self)->qualname.ptr()); }
PyObject* doc_of(PyObject* self, void*) {
  const FastFunction& f = *function_of(self);
  if (!f.has_doc) Py_RETURN_NONE;
  return PyUnicode_FromString(f.doc.c_str());
}
// As for a method read from a class: the function is its own __func__.
PyObject* func_of(PyObject* self, void*) { return Py_NewRef(self); }

// The declared parameters as `inspect.Signature`, each positional or
// keyword with its own default object, as for `def f(self, mode, sub=0)`.
PyObject* signature_of(PyObject* self, void*) {
  const FastFunction& f = *function_of(self);
  try {
    py::module_ inspect = py::module_::import("inspect");
    py::object parameter = inspect.attr("Parameter");
    py::object kind = parameter.attr("POSITIONAL_OR_KEYWORD");
    py::list parameters;
    for (std::size_t i = 0; i < f.names.size(); ++i) {
      parameters.append(f.defaults[i] ? parameter(f.names[i], kind, py::arg("default") = f.defaults[i])
                                      : parameter(f.names[i], kind));
    }
    return inspect.attr("Signature")(parameters).release().ptr();
  } catch (py::error_already_set& error) {
    error.restore();
    return nullptr;
  }
}

PyObject* represent(PyObject* self) {
  return PyUnicode_FromFormat("<function %U>", function_of(self)->qualname.ptr());
}

// Whether a failed lookup may leave the pickling to pickle (the error is
// then cleared): pickle looks the name up itself and raises its own
// PicklingError for whatever fails there, as for a Python function. Errors
// that are no Exception (a Ctrl-C) pass.
bool left_to_pickle() {
  if (!PyErr_ExceptionMatches(PyExc_Exception)) return false;
  PyErr_Clear();
  return true;
}

// The function behind what a class gives for a name: a bound method's
// __func__ or a property's fget, with that field's name; null for anything
// else, whose attributes are not read (any object may answer any name).
PyObject* function_behind(PyObject* found, const char*& field) {
  if (PyMethod_Check(found)) {
    field = "__func__";
    return Py_NewRef(PyMethod_GET_FUNCTION(found));
  }
  if (!Py_IS_TYPE(found, &PyProperty_Type)) return nullptr;
  field = "fget";
  return PyObject_GetAttrString(found, field);
}

// Pickled by reference, as a Python function is: by its qualified name in
// its module when that name leads back to it. The function behind a class
// method or a property of a class is reached through what the class gives
// for the name (`Cls.name.__func__`, `Cls.name.fget`). Where the name
// leads elsewhere or its lookup fails, pickle is given the name and says
// why it cannot pickle the function.
PyObject* reduce(PyObject* self, PyObject*) {
  PyObject* qualname = function_of(self)->qualname.ptr();
  PyObject* module_name = reinterpret_cast<FastFunctionObject*>(self)->module;
  if (!module_name || !PyUnicode_Check(module_name)) return Py_NewRef(qualname);
  try {
    py::object dot = steal(PyUnicode_FromString("."));
    py::object path = dot ? steal(PyUnicode_Split(qualname, dot.ptr(), -1)) : py::object();
    if (!path) throw py::error_already_set();
    const Py_ssize_t last = PyList_GET_SIZE(path.ptr()) - 1;
    PyObject* name = PyList_GET_ITEM(path.ptr(), last);
    py::object owner = steal(PyImport_Import(module_name));
    for (Py_ssize_t i = 0; i < last && owner; ++i) {
      owner = steal(PyObject_GetAttr(owner.ptr(), PyList_GET_ITEM(path.ptr(), i)));
    }
    py::object found = owner ? steal(PyObject_GetAttr(owner.ptr(), name)) : py::object();
    if (!found) {
      if (!left_to_pickle()) throw py::error_already_set();
      return Py_NewRef(qualname);
    }
    if (found.ptr() == self || !PyType_Check(owner.ptr())) return Py_NewRef(qualname);
    const char* field = nullptr;
    py::object inner = steal(function_behind(found.ptr(), field));
    if (!inner && PyErr_Occurred()) throw py::error_already_set();
    if (inner.ptr() != self) return Py_NewRef(qualname);
    py::object reach = steal(PyUnicode_FromFormat("%U.%s", name, field));
    if (!reach) throw py::error_already_set();
    py::object getter = py::module_::import("operator").attr("attrgetter")(reach);
    return py::make_tuple(getter, py::make_tuple(owner)).release().ptr();
  } catch (py::error_already_set& error) {
    error.restore();
    return nullptr;
  }
}

// A copy of a function is the function itself, as the host copies its own.
PyObject* itself(PyObject* self, PyObject*) { return Py_NewRef(self); }

PyMethodDef methods[] = {
    {"__reduce__", &reduce, METH_NOARGS, nullptr},
    {"__copy__", &itself, METH_NOARGS, nullptr},
    {"__deepcopy__", &itself, METH_O, nullptr},
    {nullptr, nullptr, 0, nullptr},
};

PyGetSetDef accessors[] = {
    {"__name__", &name_of, nullptr, nullptr, nullptr},
    {"__qualname__", &qualname_of, nullptr, nullptr, nullptr},
    {"__doc__", &doc_of, nullptr, nullptr, nullptr},
    {"__func__", &func_of, nullptr, nullptr, nullptr},
    {"__signature__", &signature_of, nullptr, nullptr, nullptr},
    {nullptr, nullptr, nullptr, nullptr, nullptr},
};

PyMemberDef members[] = {
    {"__vectorcalloffset__", T_PYSSIZET, offsetof(FastFunctionObject, vectorcall), READONLY,
     nullptr},
    // None until the class builder names the module (the host's messages
    // then say "asicmodel.SDKPort.hw_intf()", as for a Python function).
    {"__module__", T_OBJECT, offsetof(FastFunctionObject, module), READONLY, nullptr},
    {nullptr, 0, 0, 0, nullptr},
};

PyType_Slot slots[] = {
    {Py_tp_call, reinterpret_cast<void*>(&PyVectorcall_Call)},
    {Py_tp_descr_get, reinterpret_cast<void*>(&bind)},
    {Py_tp_dealloc, reinterpret_cast<void*>(&deallocate)},
    {Py_tp_repr, reinterpret_cast<void*>(&represent)},
    {Py_tp_members, members},
    {Py_tp_methods, methods},
    {Py_tp_getset, accessors},
    {0, nullptr},
};

// Made once per module that uses it, and kept for the process's life.
// Only this file makes its objects: Python code cannot (an object made
// there would have no function behind it).
PyTypeObject* function_type() {
  static PyTypeObject* type = [] {
    PyType_Spec type_spec = {"common.fast_function", static_cast<int>(sizeof(FastFunctionObject)), 0,
                        Py_TPFLAGS_DEFAULT | Py_TPFLAGS_METHOD_DESCRIPTOR | Py_TPFLAGS_IMMUTABLETYPE |
                            Py_TPFLAGS_HAVE_VECTORCALL | Py_TPFLAGS_DISALLOW_INSTANTIATION,
                        slots};
    return reinterpret_cast<PyTypeObject*>(PyType_FromSpec(&type_spec));
  }();
  return type;
}

}  // namespace

py::object make_fast_function(const char* name, std::string qualname, const char* doc,
                              const std::vector<Param>& params, Invoker invoker,
                              AnyBody body, void* data, std::size_t arity) {
  if (params.size() != arity || arity > kMaxParameters) {
    throw std::logic_error(std::string("parameter list does not fit the body of ") + name);
  }
  auto* f = new FastFunction();
  f->name = name;
  f->doc = doc ? doc : "";
  f->qualname = py::str(qualname);
  f->invoker = invoker;
  f->body = body;
  f->data = data;
  bool seen_default = false;
  for (const Param& param : params) {
    PyObject* interned = PyUnicode_InternFromString(param.name);
    if (!interned) {
      delete f;
      throw py::error_already_set();
    }
    f->names.push_back(steal(interned));
    f->defaults.push_back(param.value);
    if (param.value) {
      seen_default = true;
    } else if (seen_default) {
      delete f;
      throw std::logic_error(std::string("required parameter after a default in ") + name);
    } else {
      ++f->required;
    }
  }
  f->has_doc = doc != nullptr;
  PyTypeObject* type = function_type();
  if (!type) {
    delete f;
    throw py::error_already_set();
  }
  auto* self = PyObject_New(FastFunctionObject, type);
  if (!self) {
    delete f;
    throw py::error_already_set();
  }
  self->vectorcall = &enter;
  self->function = f;
  self->total = static_cast<Py_ssize_t>(f->names.size());
  self->invoker = invoker;
  self->body = body;
  self->data = data;
  self->module = nullptr;
  return steal(reinterpret_cast<PyObject*>(self));
}

PyObject* invoke_array(AnyBody body, void* data, PyObject* const* args) {
  return reinterpret_cast<ArrayBody>(body)(data, args).release().ptr();
}

PyTypeObject* fast_function_type() { return function_type(); }

bool is_fast_function(py::handle value) {
  PyTypeObject* type = function_type();
  return type && Py_TYPE(value.ptr()) == type;
}

void set_module(py::handle function, py::handle module_name) {
  auto* object = reinterpret_cast<FastFunctionObject*>(function.ptr());
  Py_XSETREF(object->module, Py_NewRef(module_name.ptr()));
}

}  // namespace detail

py::object fast_function_array(const char* name, std::string qualname, const char* doc,
                               ArrayBody body, void* data, const std::vector<Param>& params) {
  return detail::make_fast_function(name, std::move(qualname), doc, params, &detail::invoke_array,
                                    reinterpret_cast<detail::AnyBody>(body), data,
                                    params.size());
}

}  // namespace common
