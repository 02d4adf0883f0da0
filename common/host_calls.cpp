#include "common/host_calls.hpp"

#include <charconv>
#include <cstdint>
#include <cstring>
#include <string>
#include <system_error>

#include <vector>

namespace common {

py::object call_with_keywords(py::handle callable, PyObject* const* values, std::size_t count,
                              PyObject* keyword_names) {
  const std::size_t keywords = keyword_names ? PyTuple_GET_SIZE(keyword_names) : 0;
  return steal(PyObject_Vectorcall(callable.ptr(), values, count - keywords, keyword_names));
}

py::object call_with_keywords(py::handle callable, std::initializer_list<py::handle> values,
                              PyObject* keyword_names) {
  PyObject* argv[64];
  std::vector<PyObject*> large;
  PyObject** slots = argv;
  if (values.size() > 64) {
    large.resize(values.size());
    slots = large.data();
  }
  std::size_t i = 0;
  for (py::handle value : values) slots[i++] = value.ptr();
  return call_with_keywords(callable, slots, values.size(), keyword_names);
}

py::object fail(PyObject* type, const char* message) {
  PyErr_SetString(type, message);
  return {};
}

py::object format_text(const char* format) {
  // Remembered by the format's address, and checked against its text, so
  // a buffer reused for another format is never mistaken for the first.
  struct Remembered {
    const char* address = nullptr;
    std::string text;
    PyObject* object = nullptr;  // held for the process's life once made
  };
  static Remembered remembered[256];
  const std::uintptr_t address = reinterpret_cast<std::uintptr_t>(format);
  Remembered& slot = remembered[(address * 0x9E3779B97F4A7C15ull) >> 56];
  if (slot.address == format && slot.object && slot.text == format) return borrow(slot.object);
  PyObject* object = PyUnicode_FromString(format);
  if (!object) return {};
  PyObject* replaced = slot.object;
  slot.address = format;
  slot.text = format;
  slot.object = object;
  Py_XDECREF(replaced);
  return borrow(object);
}

py::object fail_none_subscript() {
  // The text PyObject_GetItem gives for None.
  static const py::handle message =
      forever(steal(PyUnicode_FromFormat("'%.200s' object is not subscriptable", Py_TYPE(Py_None)->tp_name)));
  if (!message) return steal(PyObject_GetItem(Py_None, Py_None));
  PyErr_SetObject(PyExc_TypeError, message.ptr());
  return {};
}

py::object fail_object(py::handle type, py::handle argument) {
  PyErr_SetObject(type.ptr(), argument.ptr());
  return {};
}

py::object fail_none(PyObject* type) {
  PyErr_SetNone(type);
  return {};
}

py::object fail_key(py::handle key) {
  // A KeyError carries its key as the single argument, as a dict's does.
  PyObject* args = PyTuple_Pack(1, key.ptr());
  if (!args) return {};
  PyErr_SetObject(PyExc_KeyError, args);
  Py_DECREF(args);
  return {};
}

py::object fail_percent_tuple(py::handle type, const char* format, py::handle args) {
  py::object text = steal(PyUnicode_FromString(format));
  if (!text) return {};
  py::object message = steal(PyUnicode_Format(text.ptr(), args.ptr()));
  if (!message) return {};
  PyErr_SetObject(type.ptr(), message.ptr());
  return {};
}

namespace {

// `key in container` over a tuple or list, comparing texts in place;
// `plain` tells whether every item compared was a text (the answer then
// depends on nothing but the characters).
int scan_texts(PyObject* container, PyObject* key, bool& plain) {
  plain = true;
  const Py_ssize_t size = PySequence_Fast_GET_SIZE(container);
  PyObject** items = PySequence_Fast_ITEMS(container);
  Py_hash_t key_hash = reinterpret_cast<PyASCIIObject*>(key)->hash;
  // Beyond a couple of items, hashing the text once (the host keeps it)
  // lets most items be passed over on their hash alone.
  if (key_hash == -1 && size > 2) key_hash = PyObject_Hash(key);
  const Py_ssize_t length = PyUnicode_GET_LENGTH(key);
  const int kind = PyUnicode_KIND(key);
  for (Py_ssize_t i = 0; i < size; ++i) {
    PyObject* item = items[i];
    if (item == key) return 1;
    if (!PyUnicode_CheckExact(item)) {
      plain = false;
      return PySequence_Contains(container, key);
    }
    // Texts whose known hashes differ cannot be equal.
    const Py_hash_t item_hash = reinterpret_cast<PyASCIIObject*>(item)->hash;
    if (item_hash != key_hash && item_hash != -1 && key_hash != -1) continue;
    if (!PyUnicode_IS_READY(item)) {
      plain = false;
      return PySequence_Contains(container, key);
    }
    if (PyUnicode_GET_LENGTH(item) == length && PyUnicode_KIND(item) == kind &&
        std::memcmp(PyUnicode_DATA(item), PyUnicode_DATA(key),
                    static_cast<std::size_t>(length) * kind) == 0) {
      return 1;
    }
  }
  return 0;
}

// Answers for a text in a tuple of texts, remembered by the two objects:
// both are immutable, and both are held so their addresses stay theirs.
// A class's `modes` is asked for the same few mode texts again and again.
struct RememberedAnswer {
  PyObject* tuple = nullptr;
  PyObject* key = nullptr;
  int found = 0;
};
RememberedAnswer remembered_answers[64];

}  // namespace

int contains_text(PyObject* container, PyObject* key) {
  bool plain = false;
  if (!PyTuple_CheckExact(container)) return scan_texts(container, key, plain);
  const auto mix = reinterpret_cast<std::uintptr_t>(container) >> 4 ^
                   reinterpret_cast<std::uintptr_t>(key) >> 4;
  RememberedAnswer& slot = remembered_answers[mix % 64];
  if (slot.tuple == container && slot.key == key) return slot.found;
  const int found = scan_texts(container, key, plain);
  if (found >= 0 && plain) {
    Py_INCREF(container);
    Py_INCREF(key);
    PyObject* old_tuple = slot.tuple;
    PyObject* old_key = slot.key;
    slot = {container, key, found};
    Py_XDECREF(old_tuple);
    Py_XDECREF(old_key);
  }
  return found;
}

py::object ascii_text_and_int(std::string_view text, py::handle number) {
  if (!PyLong_CheckExact(number.ptr())) return {};
  int overflow = 0;
  const long long value = PyLong_AsLongLongAndOverflow(number.ptr(), &overflow);
  if (overflow) return {};
  char digits[24];
  const auto [end, error] = std::to_chars(digits, digits + sizeof digits, value);
  if (error != std::errc()) return {};
  const auto tail = static_cast<std::size_t>(end - digits);
  PyObject* joined = PyUnicode_New(static_cast<Py_ssize_t>(text.size() + tail), 127);
  if (!joined) return {};
  auto* data = reinterpret_cast<char*>(PyUnicode_1BYTE_DATA(joined));
  std::memcpy(data, text.data(), text.size());
  std::memcpy(data + text.size(), digits, tail);
  return steal(joined);
}

}  // namespace common
