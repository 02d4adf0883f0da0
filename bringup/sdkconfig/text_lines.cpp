#include "bringup/sdkconfig/text_lines.hpp"

#include <cmath>
#include <cstdio>

#include "bringup/core/number_text.hpp"

namespace bringup {

bool append_text_form(py::handle value, std::string& out) {
  if (PyUnicode_CheckExact(value.ptr())) {
    Py_ssize_t size = 0;
    if (const char* utf8 = PyUnicode_AsUTF8AndSize(value.ptr(), &size)) {
      out.append(utf8, static_cast<std::size_t>(size));
      return true;
    }
    PyErr_Clear();  // a lone surrogate: written as the other texts are below
  }
  // "%s" takes str() of anything but an exact str (a subclass's __str__ too).
  py::object text = common::steal(PyObject_Str(value.ptr()));
  if (!text) return false;
  std::string utf8;
  if (!text_form(text, utf8)) return false;
  out += utf8;
  return true;
}

bool append_number(const Number& piece, std::string& out) {
  PyObject* value = piece.value.ptr();
  if (PyLong_CheckExact(value) || PyBool_Check(value)) {
    int overflow = 0;
    const long long number = PyLong_AsLongLongAndOverflow(value, &overflow);
    if (!overflow) {
      out += piece.kind == 'x' ? hexadecimal(number, piece.width) : decimal(number, piece.width);
      return true;
    }
  }
  // Anything else, and ints wider than 64 bits: the host's own `%`.
  char format[16];
  if (piece.width > 0) {
    std::snprintf(format, sizeof format, "%%0%d%c", piece.width, piece.kind);
  } else {
    std::snprintf(format, sizeof format, "%%%c", piece.kind);
  }
  py::object text = common::percent_text(format, piece.value);
  return text && append_text_form(text, out);
}

bool TextLines::write(const Text& piece) { return append_text_form(piece.value, text_); }

bool TextLines::write(const Number& piece) { return append_number(piece, text_); }

bool TextLines::write(const Megabits& piece) {
  if (PyFloat_Check(piece.speed.ptr())) {
    const double megabits = PyFloat_AS_DOUBLE(piece.speed.ptr()) * 1000;
    if (std::trunc(megabits) == megabits && std::fabs(megabits) < 1e15) {
      text_ += decimal(static_cast<std::int64_t>(megabits));
      return true;
    }
  }
  if (!append_text_form(piece.speed, text_)) return false;
  text_ += "000";
  return true;
}

}  // namespace bringup
