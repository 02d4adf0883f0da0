#include "common/utf8_text.hpp"

#include <cstring>

namespace common {

namespace {

std::string_view ascii_view(PyObject* text) {
  return {static_cast<const char*>(PyUnicode_DATA(text)),
          static_cast<std::size_t>(PyUnicode_GET_LENGTH(text))};
}

}  // namespace

std::size_t TextPieces::size() const {
  std::size_t total = 0;
  for (const Piece& piece : pieces_) {
    if (!piece.items) {
      total += piece.view.size();
      continue;
    }
    const Py_ssize_t count = PySequence_Fast_GET_SIZE(piece.items);
    PyObject** items = PySequence_Fast_ITEMS(piece.items);
    for (Py_ssize_t i = 0; i < count; ++i) total += static_cast<std::size_t>(PyUnicode_GET_LENGTH(items[i]));
  }
  return total;
}

void TextPieces::write(char* out) const {
  for (const Piece& piece : pieces_) {
    if (!piece.items) {
      std::memcpy(out, piece.view.data(), piece.view.size());
      out += piece.view.size();
      continue;
    }
    const Py_ssize_t count = PySequence_Fast_GET_SIZE(piece.items);
    PyObject** items = PySequence_Fast_ITEMS(piece.items);
    for (Py_ssize_t i = 0; i < count; ++i) {
      std::string_view view = ascii_view(items[i]);
      std::memcpy(out, view.data(), view.size());
      out += view.size();
    }
  }
}

void TextPieces::append_to(std::string& out) const {
  const std::size_t start = out.size();
  out.resize(start + size());
  write(out.data() + start);
}

int append_utf8(std::string& out, py::handle text) {
  Utf8Views views;
  TextPieces pieces;
  if (views.add(text, pieces) < 0) return -1;
  pieces.append_to(out);
  return 0;
}

py::object text_from_utf8(std::string_view utf8) {
  return py::reinterpret_steal<py::object>(PyUnicode_DecodeUTF8(
      utf8.data(), static_cast<Py_ssize_t>(utf8.size()), "surrogatepass"));
}

int Utf8Views::add(py::handle text, TextPieces& pieces) {
  PyObject* raw = text.ptr();
  if (!PyUnicode_Check(raw)) {
    PyErr_Format(PyExc_TypeError, "expected str instance, %.80s found", Py_TYPE(raw)->tp_name);
    return -1;
  }
  held_.push_back(py::reinterpret_borrow<py::object>(raw));
  if (PyUnicode_IS_ASCII(raw)) {
    pieces.add(ascii_view(raw));
    return 0;
  }
  ascii_ = false;
  Py_ssize_t size = 0;
  if (const char* data = PyUnicode_AsUTF8AndSize(raw, &size)) {
    // The UTF-8 form is cached in the text itself.
    pieces.add({data, static_cast<std::size_t>(size)});
    return 0;
  }
  // A lone surrogate has no strict UTF-8 form; pass it through.
  PyErr_Clear();
  PyObject* encoded = PyUnicode_AsEncodedString(raw, "utf-8", "surrogatepass");
  if (!encoded) return -1;
  held_.push_back(py::reinterpret_steal<py::object>(encoded));
  pieces.add({PyBytes_AS_STRING(encoded), static_cast<std::size_t>(PyBytes_GET_SIZE(encoded))});
  return 0;
}

int Utf8Views::add_joined(py::handle texts, TextPieces& pieces) {
  PyObject* items = PySequence_Fast(texts.ptr(), "can only join an iterable");
  if (!items) return -1;
  py::object held = py::reinterpret_steal<py::object>(items);
  // A list may change after this; the pieces are of a private copy.
  if (PyList_Check(items) && items == texts.ptr()) {
    held = py::reinterpret_steal<py::object>(PyList_GetSlice(items, 0, PY_SSIZE_T_MAX));
    if (!held) return -1;
    items = held.ptr();
  }
  held_.push_back(held);
  const Py_ssize_t count = PySequence_Fast_GET_SIZE(items);
  PyObject** item = PySequence_Fast_ITEMS(items);
  bool all_ascii = true;
  for (Py_ssize_t i = 0; i < count; ++i) {
    if (!PyUnicode_Check(item[i])) {
      PyErr_Format(PyExc_TypeError, "sequence item %zd: expected str instance, %.80s found", i,
                   Py_TYPE(item[i])->tp_name);
      return -1;
    }
    all_ascii = all_ascii && PyUnicode_IS_ASCII(item[i]);
  }
  if (all_ascii) {
    pieces.add_ascii_items(items);
    return 0;
  }
  for (Py_ssize_t i = 0; i < count; ++i) {
    if (add(item[i], pieces) < 0) return -1;
  }
  return 0;
}

py::object Utf8Views::text(const TextPieces& pieces) const {
  if (ascii_) {
    // Every piece is ASCII: one text, written in place.
    PyObject* text = PyUnicode_New(static_cast<Py_ssize_t>(pieces.size()), 127);
    if (!text) return {};
    pieces.write(static_cast<char*>(PyUnicode_DATA(text)));
    return py::reinterpret_steal<py::object>(text);
  }
  std::string utf8;
  pieces.append_to(utf8);
  return text_from_utf8(utf8);
}

}  // namespace common
