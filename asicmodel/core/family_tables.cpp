#include "asicmodel/core/family_tables.hpp"

namespace asicmodel {

int mode_is_other(py::handle value, std::string_view text) {
  PyObject* other = PyUnicode_FromStringAndSize(text.data(), static_cast<Py_ssize_t>(text.size()));
  if (!other) return -1;
  int same = PyObject_RichCompareBool(value.ptr(), other, Py_EQ);
  Py_DECREF(other);
  return same;
}

// Texts of the class tables are interned, as the same literals in a class
// body would be: a caller's literal is then the very same object, and
// `mode in modes` or a map lookup matches it by identity.
py::str interned_text(const char* text) {
  PyObject* value = PyUnicode_InternFromString(text);
  if (!value) throw py::error_already_set();
  return py::reinterpret_steal<py::str>(value);
}

py::tuple texts(std::initializer_list<const char*> items) {
  py::tuple tuple(items.size());
  std::size_t i = 0;
  for (const char* item : items) tuple[i++] = interned_text(item);
  return tuple;
}

py::dict speed_map(std::initializer_list<std::pair<const char*, double>> entries) {
  py::dict map;
  for (const auto& [mode, speed] : entries) {
    bool whole = speed == static_cast<double>(static_cast<long>(speed));
    map[interned_text(mode)] = whole ? py::object(py::int_(static_cast<long>(speed)))
                               : py::object(py::float_(speed));
  }
  return map;
}

}  // namespace asicmodel
