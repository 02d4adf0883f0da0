// Host texts as UTF-8 for the plain C++ cores, and back, without C++
// throws (see host_calls.hpp). Lone surrogates pass through both ways
// ("surrogatepass"), so no character of a host text is lost; ASCII texts
// are read straight from the host's own storage.
#pragma once

#include <pybind11/pybind11.h>

#include <string>
#include <string_view>
#include <vector>

namespace common {

namespace py = pybind11;

// Appends the text's UTF-8 form; -1 with the error set when `text` is not
// a str.
int append_utf8(std::string& out, py::handle text);

// A host text from UTF-8; null with the error set.
py::object text_from_utf8(std::string_view utf8);

// A text in pieces, written one after another: UTF-8 views, and whole
// sequences of ASCII host texts (so a long list costs one piece). What the
// pieces point to is kept alive by the Utf8Views that made them.
class TextPieces {
 public:
  void add(std::string_view view) { pieces_.push_back({view, nullptr}); }
  void add_ascii_items(py::handle sequence) { pieces_.push_back({{}, sequence.ptr()}); }
  void extend(const TextPieces& other) {
    pieces_.insert(pieces_.end(), other.pieces_.begin(), other.pieces_.end());
  }

  std::size_t size() const;
  void write(char* out) const;
  void append_to(std::string& out) const;

 private:
  struct Piece {
    std::string_view view;
    PyObject* items;  // a list or tuple of ASCII texts, or null for `view`
  };
  std::vector<Piece> pieces_;
};

// Makes UTF-8 views of host texts and holds what they point into: every
// text it viewed and a private copy of every list it joined, so a later
// change of the list cannot reach the views. The text made from pieces at
// the end is written once, straight into the host's storage when every
// piece is ASCII.
class Utf8Views {
 public:
  // One text (a str); -1 with the error set.
  int add(py::handle text, TextPieces& pieces);
  // `"".join(texts)`, with the host's errors for a value that is not
  // iterable or an item that is not a str.
  int add_joined(py::handle texts, TextPieces& pieces);
  // The text of the pieces; null with the error set.
  py::object text(const TextPieces& pieces) const;

 private:
  std::vector<py::object> held_;
  bool ascii_ = true;
};

}  // namespace common
