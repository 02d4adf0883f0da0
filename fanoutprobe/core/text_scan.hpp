// Splitting and reading SDK shell output held as UTF-8 text.
//
// Whitespace is the host's: every character its str.split() and str.strip()
// treat as blank, the non-ASCII ones included, so word columns line up with
// what the host would find. Lines break at LF, CR and CR LF only.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "fanoutprobe/core/parse_failure.hpp"

namespace fanoutprobe {

// Byte length of the non-ASCII whitespace character starting at `pos`, 0
// when the character there is none (the rare case of space_at).
std::size_t wide_space_at(std::string_view text, std::size_t pos);

// Byte length of the whitespace character starting at `pos`, 0 when the
// character there is not whitespace (or `pos` is the end). Inline: every
// reader calls it once per byte.
inline std::size_t space_at(std::string_view text, std::size_t pos) {
  if (pos >= text.size()) return 0;
  unsigned char c = static_cast<unsigned char>(text[pos]);
  if (c < 0x80) return ((c >= 0x09 && c <= 0x0d) || (c >= 0x1c && c <= 0x20)) ? 1 : 0;
  return wide_space_at(text, pos);
}

// Byte length of the character starting at `pos` (1 for a malformed byte,
// such as a lead byte not followed by its continuation bytes, so it never
// swallows the blank or the word after it).
inline std::size_t char_length(std::string_view text, std::size_t pos) {
  unsigned char c = static_cast<unsigned char>(text[pos]);
  if (c < 0xc0) return 1;
  std::size_t length = c < 0xe0 ? 2 : c < 0xf0 ? 3 : 4;
  if (pos + length > text.size()) return 1;
  for (std::size_t k = 1; k < length; ++k) {
    if ((static_cast<unsigned char>(text[pos + k]) & 0xc0) != 0x80) return 1;
  }
  return length;
}

// Lines without their breaks; a final break yields no empty last line.
std::vector<std::string_view> split_lines(std::string_view text);

// Words between runs of whitespace.
std::vector<std::string_view> split_words(std::string_view text);
// The same into `words` (cleared first), so a reader of many rows reuses
// one vector.
void split_words(std::string_view text, std::vector<std::string_view>& words);

std::string_view strip(std::string_view text);
bool is_blank(std::string_view text);

// Position of the first word equal to `word`, or -1.
long find_word(const std::vector<std::string_view>& words, std::string_view word);

// Integers as the host's int() reads them: surrounding whitespace and a sign
// allowed; hexadecimal with an optional 0x or 0X. Too large is an overflow.
Number decimal(std::string_view text);
Number hexadecimal(std::string_view text);
// "0x" anywhere selects hexadecimal, anything else is decimal.
Number hex_or_decimal(std::string_view text);

// Run of ASCII digits starting at `pos` (its length, 0 when none).
std::size_t digit_run(std::string_view text, std::size_t pos);
// End of the run of non-whitespace characters starting at `pos`.
inline std::size_t word_end(std::string_view text, std::size_t pos) {
  while (pos < text.size() && !space_at(text, pos)) pos += char_length(text, pos);
  return pos;
}

}  // namespace fanoutprobe
