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

// Byte length of the whitespace character starting at `pos`, 0 when the
// character there is not whitespace (or `pos` is the end).
std::size_t space_at(std::string_view text, std::size_t pos);

// Byte length of the character starting at `pos` (1 for a malformed byte,
// such as a lead byte not followed by its continuation bytes).
std::size_t char_length(std::string_view text, std::size_t pos);

// Lines without their breaks; a final break yields no empty last line.
std::vector<std::string_view> split_lines(std::string_view text);

// Words between runs of whitespace.
std::vector<std::string_view> split_words(std::string_view text);

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
std::size_t word_end(std::string_view text, std::size_t pos);

}  // namespace fanoutprobe
