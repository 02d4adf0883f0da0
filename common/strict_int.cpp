#include "common/strict_int.hpp"

#include "common/host_errors.hpp"
#include "common/strict_int_core.hpp"

namespace common {

py::int_ int_from_text(py::handle text) {
  if (!PyUnicode_Check(text.ptr())) {
    raise_type_error(std::string("int() argument must be a string, not '") +
                     Py_TYPE(text.ptr())->tp_name + "'");
  }
  Py_ssize_t size = 0;
  const char* data = PyUnicode_AsUTF8AndSize(text.ptr(), &size);
  IntParseResult result;
  if (data) {
    result = parse_decimal(std::string_view(data, static_cast<std::size_t>(size)));
  } else {
    PyErr_Clear();  // text the codec cannot carry (lone surrogates) is no number
  }
  if (result.value) return py::int_(*result.value);
  const char* format = result.error == IntParseError::kOverflow
                           ? "integer out of range: %r"
                           : "invalid literal for int() with base 10: %r";
  raise_error_object(PyExc_ValueError, percent_of(format, py::reinterpret_borrow<py::object>(text)));
}

}  // namespace common
