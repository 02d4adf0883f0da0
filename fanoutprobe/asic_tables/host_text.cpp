#include "fanoutprobe/asic_tables/host_text.hpp"

#include "common/host_calls.hpp"
#include "fanoutprobe/core/text_scan.hpp"

namespace fanoutprobe {

bool view_text(py::handle value, const char* what, TextView& view) {
  if (!PyUnicode_Check(value.ptr())) {
    PyErr_Format(PyExc_TypeError, "%s must be str, not %.200s", what, Py_TYPE(value.ptr())->tp_name);
    return false;
  }
  Py_ssize_t size = 0;
  if (const char* data = PyUnicode_AsUTF8AndSize(value.ptr(), &size)) {
    view.owner = py::reinterpret_borrow<py::object>(value);
    view.text = std::string_view(data, static_cast<std::size_t>(size));
    return true;
  }
  PyErr_Clear();  // lone surrogates: carried through as their own bytes
  PyObject* bytes = PyUnicode_AsEncodedString(value.ptr(), "utf-8", "surrogatepass");
  if (!bytes) return false;
  view.owner = common::steal(bytes);
  view.text = std::string_view(PyBytes_AS_STRING(bytes), static_cast<std::size_t>(PyBytes_GET_SIZE(bytes)));
  return true;
}

py::object host_text(std::string_view utf8) {
  return common::steal(PyUnicode_DecodeUTF8(utf8.data(), static_cast<Py_ssize_t>(utf8.size()),
                                            "surrogatepass"));
}

py::object host_int(std::int64_t value) { return common::steal(PyLong_FromLongLong(value)); }

py::object fail_with(const Failure& failure) {
  switch (failure.kind) {
    case FailureKind::kIndex:
      return common::fail(PyExc_IndexError, "list index out of range");
    case FailureKind::kRuntime:
    case FailureKind::kValue:
    case FailureKind::kType: {
      SW_LET(message, host_text(failure.text));
      return common::fail_object(failure.kind == FailureKind::kRuntime ? PyExc_RuntimeError
                                 : failure.kind == FailureKind::kType  ? PyExc_TypeError
                                                                       : PyExc_ValueError,
                                 message);
    }
    default:
      break;
  }
  const char* format = failure.kind == FailureKind::kNotInList      ? "%r is not in list"
                       : failure.kind == FailureKind::kInvalidHex   ? "invalid literal for int() with base 16: %r"
                       : failure.kind == FailureKind::kOverflow     ? "integer out of range: %r"
                                                                    : "invalid literal for int() with base 10: %r";
  SW_LET(text, host_text(failure.text));
  return common::fail_percent(PyExc_ValueError, format, text);
}

py::object int_of_text(py::handle value, int base) {
  if (!PyUnicode_Check(value.ptr())) {
    if (base == 10) return common::steal(PyNumber_Long(value.ptr()));
    SW_LET(base_object, host_int(base));
    return common::call(reinterpret_cast<PyObject*>(&PyLong_Type), value, base_object);
  }
  TextView view;
  if (!view_text(value, "number", view)) return {};
  Number number = base == 16 ? hexadecimal(view.text) : decimal(view.text);
  if (number.failure) return fail_with(number.failure);
  return host_int(number.value);
}

}  // namespace fanoutprobe
