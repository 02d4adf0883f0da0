// Generated lines written straight into one UTF-8 buffer and made host text
// once, instead of a host `%` and a host string per line. Each piece is
// written as the host's `%` writes it: a text for "%s" is the value's str()
// (an exact str taken as it is); an exact int or bool for "%d", "%u", "%i"
// or "%x" is written by the core's number_text, which equals the host's
// `%`; any other value for a number placeholder (a float, an int subclass,
// None) is handed to the host's `%` itself, so its text or its TypeError
// is the host's own. Pieces are written left to right, so the first value
// a placeholder refuses raises, as with `%`.
#pragma once

#include <string>

#include "bringup/core/number_text.hpp"
#include "bringup/sdkconfig/generator.hpp"

namespace bringup {

// "%s" of a host value.
struct Text {
  py::handle value;
};

// "%<kind>" or "%0<width><kind>" of a host value; kind is 'd', 'u', 'i' or 'x'.
struct Number {
  py::handle value;
  char kind = 'u';
  int width = 0;
};
inline Number hex(py::handle value, int width = 0) { return {value, 'x', width}; }

// A speed in Gb/s written in Mb/s: "%s000" of it (25 gives "25000"), but a
// fractional speed as its whole number of Mb/s (2.5 gives "2500", not
// "2.5000").
struct Megabits {
  py::handle speed;
};

class TextLines {
 public:
  // Starts a new line (the lines are joined by "\n") and writes the pieces;
  // false with the host's error set when one cannot be written.
  template <typename... Pieces>
  bool line(const Pieces&... pieces) {
    if (started_) text_ += '\n';
    started_ = true;
    return (write(pieces) && ...);
  }

  bool empty() const { return !started_; }

  // The lines as host text ("" for none).
  py::object host() const { return host_text(text_); }

  // One line alone as host text; null with the host's error set.
  template <typename... Pieces>
  static py::object single(const Pieces&... pieces) {
    TextLines one;
    if (!one.line(pieces...)) return {};
    return one.host();
  }

 private:
  bool write(const char* literal) {
    text_ += literal;
    return true;
  }
  bool write(const std::string& literal) {
    text_ += literal;
    return true;
  }
  bool write(const Text& piece);
  bool write(const Number& piece);
  bool write(const Megabits& piece);

  std::string text_;
  bool started_ = false;
};

// Appends the UTF-8 of `str(value)` (lone surrogates kept); false with the
// host's error set.
bool append_text_form(py::handle value, std::string& out);
// Appends `"%<kind>" % value` (or with a zero-padded width).
bool append_number(const Number& piece, std::string& out);

}  // namespace bringup
