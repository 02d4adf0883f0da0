#include "common/strict_int.hpp"

#include "common/host_calls.hpp"
#include "common/strict_int_core.hpp"

namespace common {

py::int_ int_from_text(py::handle text) {
  py::object value = int_of_text(text);
  if (!value) throw py::error_already_set();
  return py::reinterpret_steal<py::int_>(value.release());
}

py::object int_of_text(py::handle text, IntRange range) {
  if (!PyUnicode_Check(text.ptr())) {
    PyErr_Format(PyExc_TypeError, "int() argument must be a string, not '%s'",
                 Py_TYPE(text.ptr())->tp_name);
    return {};
  }
  Py_ssize_t size = 0;
  const char* data = PyUnicode_AsUTF8AndSize(text.ptr(), &size);
  IntParseResult result;
  if (data) {
    result = parse_decimal(std::string_view(data, static_cast<std::size_t>(size)));
  } else {
    PyErr_Clear();  // text the codec cannot carry (lone surrogates) is no number
  }
  if (result.value) return py::reinterpret_steal<py::object>(PyLong_FromLongLong(*result.value));
  if (result.error == IntParseError::kOverflow && range == IntRange::kAnySize) {
    // Checked digits beyond 64 bits: the host's own unbounded conversion.
    return py::reinterpret_steal<py::object>(PyLong_FromString(data, nullptr, 10));
  }
  const char* format = result.error == IntParseError::kOverflow
                           ? "integer out of range: %r"
                           : "invalid literal for int() with base 10: %r";
  return fail_percent(PyExc_ValueError, format, text);
}

}  // namespace common
