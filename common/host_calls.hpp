// Reading, calling and failing the host's way, without C++ throws.
//
// Every helper here returns a null object (or a negative int) when the
// host's error is set, so an operation body propagates an expected error
// (a refused mode, a missing key, an index out of range) by returning a
// null object, exactly as the host's own C functions do:
//
//     SW_LET(modes, common::get(cls, names.modes));
//     SW_LET(found, common::contains(modes, mode));
//     if (!found) return common::fail_object(no_such_mode, message);
//
// Names are interned strings from the module's name table (see
// interned_names.hpp). Reads and method calls look the name up through the
// object like PyObject_GetAttr and PyObject_VectorcallMethod, with the
// lookup cached per class version (lookup_cache.h).
#pragma once

#include <pybind11/pybind11.h>

#include "common/lookup_cache.h"

#include <cstddef>
#include <initializer_list>
#include <string_view>
#include <type_traits>

namespace common {

namespace py = pybind11;

inline py::object steal(PyObject* value) { return py::reinterpret_steal<py::object>(value); }
inline py::object borrow(PyObject* value) { return py::reinterpret_borrow<py::object>(value); }
inline py::object ref(py::handle value) { return py::reinterpret_borrow<py::object>(value); }

// A constant made once and kept for the life of the process:
//     static const py::handle four = common::forever(py::int_(4));
// Never released, because static destructors run after the interpreter
// has finalised, when no object may be freed.
inline py::handle forever(py::object value) { return value.release(); }

// Success tests for the propagation macros below: a non-null object, or
// a status (count) of zero or more.
inline bool ok(const py::object& value) { return static_cast<bool>(value); }
template <typename Status>
  requires std::is_integral_v<Status>
inline bool ok(Status status) {
  static_assert(!std::is_same_v<Status, bool>,
                "a bool is no status: false (0) would read as success");
  return status >= 0;
}

// `obj.name`.
inline py::object get(py::handle obj, PyObject* name) {
  return steal(lookup_cache_getattr(obj.ptr(), name));
}

// `obj.name = value`; -1 with the error set on failure.
inline int set(py::handle obj, PyObject* name, py::handle value) {
  return lookup_cache_setattr(obj.ptr(), name, value.ptr());
}

// `obj.name(args...)`.
template <typename... Args>
py::object call_method(py::handle obj, PyObject* name, const Args&... args) {
  PyObject* argv[] = {obj.ptr(), py::handle(args).ptr()...};
  return steal(lookup_cache_call_method(name, argv,
                                        (1 + sizeof...(Args)) | PY_VECTORCALL_ARGUMENTS_OFFSET));
}

// `callable(args...)`. The first slot is spare, so a bound method can put
// its object there without copying the arguments.
template <typename... Args>
py::object call(py::handle callable, const Args&... args) {
  PyObject* argv[] = {nullptr, py::handle(args).ptr()...};
  return steal(PyObject_Vectorcall(callable.ptr(), argv + 1,
                                   sizeof...(Args) | PY_VECTORCALL_ARGUMENTS_OFFSET, nullptr));
}

// `callable(*positional, **dict(zip(keyword_names, keyword_values)))`:
// `values` holds the positional arguments then the keyword values, in the
// order of `keyword_names`, a tuple of interned texts built once.
py::object call_with_keywords(py::handle callable, std::initializer_list<py::handle> values,
                              PyObject* keyword_names);
// The same over an array of values.
py::object call_with_keywords(py::handle callable, PyObject* const* values,
                              std::size_t count, PyObject* keyword_names);

// Sets the host's error for `None[key]`.
py::object fail_none_subscript();

// `obj[key]`.
inline py::object item(py::handle obj, py::handle key) {
  PyObject* o = obj.ptr();
  PyObject* k = key.ptr();
  // A port without a given table holds None there: the host's TypeError,
  // its text made once.
  if (o == Py_None) return fail_none_subscript();
  // A tuple at a small int index (a port's lanes) is read in place; the
  // host's own path gives every other answer and every error.
  if (PyTuple_CheckExact(o) && PyLong_CheckExact(k)) {
    int overflow = 0;
    long index = PyLong_AsLongAndOverflow(k, &overflow);
    const Py_ssize_t size = PyTuple_GET_SIZE(o);
    if (!overflow && index < 0) index += size;
    if (!overflow && index >= 0 && index < size) return borrow(PyTuple_GET_ITEM(o, index));
  }
  // A plain dict answers a present key in place; a missing one takes the
  // host's path for its KeyError.
  if (PyDict_CheckExact(o)) {
    PyObject* value = PyDict_GetItemWithError(o, k);
    if (value) return borrow(value);
    if (PyErr_Occurred()) return {};
  }
  return steal(PyObject_GetItem(o, k));
}

// `obj[index]` for a plain index, as the host indexes (negative from the end).
inline py::object item_at(py::handle obj, Py_ssize_t index) {
  // A character of a text or an item of a tuple in range is read in place
  // (a one-character text is the host's shared one, as indexing gives).
  PyObject* o = obj.ptr();
  if (PyUnicode_CheckExact(o) && PyUnicode_IS_READY(o)) {
    const Py_ssize_t length = PyUnicode_GET_LENGTH(o);
    const Py_ssize_t at = index < 0 ? index + length : index;
    if (at >= 0 && at < length) return steal(PyUnicode_Substring(o, at, at + 1));
  } else if (PyTuple_CheckExact(o)) {
    const Py_ssize_t at = index < 0 ? index + PyTuple_GET_SIZE(o) : index;
    if (at >= 0 && at < PyTuple_GET_SIZE(o)) return borrow(PyTuple_GET_ITEM(o, at));
  }
  PyObject* key = PyLong_FromSsize_t(index);
  if (!key) return {};
  PyObject* value = PyObject_GetItem(obj.ptr(), key);
  Py_DECREF(key);
  return steal(value);
}

// Truth, `key in container` and `a == b`: 1, 0, or -1 with the error set.
inline int truth(py::handle value) { return PyObject_IsTrue(value.ptr()); }
int contains_text(PyObject* container, PyObject* key);
inline int contains(py::handle container, py::handle key) {
  // A text in a tuple or list of texts (a class's `modes`) is compared in
  // place; no comparison can run host code, so the answer is the same.
  PyObject* c = container.ptr();
  PyObject* k = key.ptr();
  if (PyUnicode_CheckExact(k) && PyUnicode_IS_READY(k) &&
      (PyTuple_CheckExact(c) || PyList_CheckExact(c))) {
    return contains_text(c, k);
  }
  return PySequence_Contains(c, k);
}
// The value of a plain int of one digit (below 2**30 either way), read
// in place; false for anything else.
inline bool small_int_value(PyObject* value, long* out) {
  if (!PyLong_CheckExact(value)) return false;
#if PY_VERSION_HEX < 0x030C0000
  // The host's 3.11 layout: the sign in the size, then 30-bit digits.
  if (Py_ABS(Py_SIZE(value)) > 1) return false;
  *out = Py_SIZE(value) * static_cast<long>(reinterpret_cast<PyLongObject*>(value)->ob_digit[0]);
  return true;
#else
  int overflow = 0;
  const long result = PyLong_AsLongAndOverflow(value, &overflow);
  if (overflow || result >= (1L << 30) || result <= -(1L << 30)) return false;
  *out = result;
  return true;
#endif
}

// `left <op> right` for C values: 1 or 0.
inline int compare_values(long left, long right, int op) {
  switch (op) {
    case Py_LT: return left < right;
    case Py_LE: return left <= right;
    case Py_EQ: return left == right;
    case Py_NE: return left != right;
    case Py_GT: return left > right;
    default: return left >= right;
  }
}

// `a <op> b` (Py_EQ, Py_GT, ...) as the host compares: 1, 0, or -1 with
// the error set. Two small plain ints compare in place.
inline int compare(py::handle a, py::handle b, int op) {
  PyObject* x = a.ptr();
  PyObject* y = b.ptr();
  long left = 0, right = 0;
  if (op >= Py_LT && op <= Py_GE && small_int_value(x, &left) && small_int_value(y, &right)) {
    return compare_values(left, right, op);
  }
  return PyObject_RichCompareBool(x, y, op);
}
inline int equal(py::handle a, py::handle b) { return compare(a, b, Py_EQ); }

// The characters of an exact text that is all ASCII, in place; false for
// any other value (a text subclass, other characters, not a text).
inline bool exact_ascii(py::handle value, std::string_view& characters) {
  PyObject* raw = value.ptr();
  if (!PyUnicode_CheckExact(raw) || !PyUnicode_IS_READY(raw) || !PyUnicode_IS_ASCII(raw)) return false;
  characters = std::string_view(reinterpret_cast<const char*>(PyUnicode_1BYTE_DATA(raw)),
                                static_cast<std::size_t>(PyUnicode_GET_LENGTH(raw)));
  return true;
}

// For an exact ASCII text, whether it starts with `prefix` (ASCII), with
// the text's letters lowered first when `lowered` (as `text.lower()`
// lowers ASCII letters): 1 or 0. -1 for any other value, which the caller
// asks by the host's own methods.
inline int ascii_starts_with(py::handle text, std::string_view prefix, bool lowered) {
  std::string_view characters;
  if (!exact_ascii(text, characters)) return -1;
  if (characters.size() < prefix.size()) return 0;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    char c = characters[i];
    if (lowered && c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != prefix[i]) return 0;
  }
  return 1;
}

// `"%s%d" % (text, number)` for an ASCII text and a plain int, built in
// place; a null object with no error set for any other number, which the
// caller formats the host's way.
py::object ascii_text_and_int(std::string_view text, py::handle number);

inline py::object none() { return borrow(Py_None); }
inline py::object boolean(bool value) { return borrow(value ? Py_True : Py_False); }
inline py::object integer(long value) { return steal(PyLong_FromLong(value)); }

// Setting the host's errors: each returns a null object to return at once.
py::object fail(PyObject* type, const char* message);
py::object fail_object(py::handle type, py::handle argument);
py::object fail_none(PyObject* type);  // raised with no message
py::object fail_key(py::handle key);   // KeyError carrying the key
// The message is the host's `format % args`, so every character of a
// host text (NULs, lone surrogates) reaches the error unchanged.
py::object fail_percent_tuple(py::handle type, const char* format, py::handle args);
template <typename... Args>
py::object fail_percent(py::handle type, const char* format, const Args&... args) {
  PyObject* tuple = PyTuple_Pack(sizeof...(Args), py::handle(args).ptr()...);
  if (!tuple) return {};
  py::object held = steal(tuple);
  return fail_percent_tuple(type, format, held);
}

// The host's `format % args` without throwing. On per-port or per-line
// paths pass a format text made once (`common::forever(py::str(...))`).
template <typename... Args>
py::object percent_text(py::handle format, const Args&... args) {
  PyObject* tuple = PyTuple_Pack(sizeof...(Args), py::handle(args).ptr()...);
  if (!tuple) return {};
  py::object held = steal(tuple);
  return steal(PyUnicode_Format(format.ptr(), held.ptr()));
}
// The text of a C format, made once per format and kept (null with the
// error set on failure).
py::object format_text(const char* format);

template <typename... Args>
py::object percent_text(const char* format, const Args&... args) {
  py::object text = format_text(format);
  if (!text) return {};
  return percent_text(py::handle(text), args...);
}

}  // namespace common

// `auto var = expr;` returning a null object from the operation when the
// host's error is set.
#define SW_LET(var, expr)                 \
  auto var = (expr);                      \
  if (!::common::ok(var)) return {}

// Evaluates `expr`, returning a null object when the host's error is set.
#define SW_CHECK(expr)                    \
  do {                                    \
    if (!::common::ok(expr)) return {};   \
  } while (0)
