// How a plain parser reports what it could not read. The binding turns each
// kind into the host's own error with the host's own wording, so a reader
// fails exactly as the same rule written over host values would.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace fanoutprobe {

enum class FailureKind {
  kNone,
  kIndex,           // a line or word that is not there: "list index out of range"
  kNotInList,       // a title word missing from a header; `text` is the word
  kInvalidDecimal,  // `text` is not a decimal number
  kInvalidHex,      // `text` is not a hexadecimal number
  kOverflow,        // `text` is a number too large to hold; never wrapped
  kValue,           // malformed output; `text` is the whole message
  kType,            // a value of a type that cannot be read; `text` is the whole message
  kRuntime,         // the shell refused the command; `text` is the whole message
};

struct Failure {
  FailureKind kind = FailureKind::kNone;
  std::string text;
  explicit operator bool() const { return kind != FailureKind::kNone; }
};

inline Failure failure(FailureKind kind, std::string_view text = {}) {
  return Failure{kind, std::string(text)};
}

// A number read from text, or why it could not be read.
struct Number {
  std::int64_t value = 0;
  Failure failure;
};

}  // namespace fanoutprobe
