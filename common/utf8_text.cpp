#include "common/utf8_text.hpp"

namespace common {

int append_utf8(std::string& out, py::handle text) {
  PyObject* raw = text.ptr();
  if (!PyUnicode_Check(raw)) {
    PyErr_Format(PyExc_TypeError, "expected str instance, %.80s found", Py_TYPE(raw)->tp_name);
    return -1;
  }
  if (PyUnicode_IS_ASCII(raw)) {
    out.append(static_cast<const char*>(PyUnicode_DATA(raw)),
               static_cast<std::size_t>(PyUnicode_GET_LENGTH(raw)));
    return 0;
  }
  Py_ssize_t size = 0;
  if (const char* data = PyUnicode_AsUTF8AndSize(raw, &size)) {
    out.append(data, static_cast<std::size_t>(size));
    return 0;
  }
  // A lone surrogate has no strict UTF-8 form; pass it through.
  PyErr_Clear();
  PyObject* encoded = PyUnicode_AsEncodedString(raw, "utf-8", "surrogatepass");
  if (!encoded) return -1;
  out.append(PyBytes_AS_STRING(encoded), static_cast<std::size_t>(PyBytes_GET_SIZE(encoded)));
  Py_DECREF(encoded);
  return 0;
}

int join_utf8(std::string& out, py::handle texts) {
  PyObject* items = PySequence_Fast(texts.ptr(), "can only join an iterable");
  if (!items) return -1;
  py::object held = py::reinterpret_steal<py::object>(items);
  const Py_ssize_t count = PySequence_Fast_GET_SIZE(items);
  PyObject** item = PySequence_Fast_ITEMS(items);
  for (Py_ssize_t i = 0; i < count; ++i) {
    if (!PyUnicode_Check(item[i])) {
      PyErr_Format(PyExc_TypeError, "sequence item %zd: expected str instance, %.80s found", i,
                   Py_TYPE(item[i])->tp_name);
      return -1;
    }
    if (append_utf8(out, item[i]) < 0) return -1;
  }
  return 0;
}

py::object text_from_utf8(std::string_view utf8) {
  return py::reinterpret_steal<py::object>(PyUnicode_DecodeUTF8(
      utf8.data(), static_cast<Py_ssize_t>(utf8.size()), "surrogatepass"));
}

}  // namespace common
