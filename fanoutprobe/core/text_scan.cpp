#include "fanoutprobe/core/text_scan.hpp"

#include <limits>

#include "common/strict_int_core.hpp"

namespace fanoutprobe {

namespace {

unsigned char byte(std::string_view text, std::size_t pos) {
  return static_cast<unsigned char>(text[pos]);
}

bool has(std::string_view text, std::size_t pos, std::size_t count) {
  return pos + count <= text.size();
}

int hex_digit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

std::size_t space_at(std::string_view text, std::size_t pos) {
  if (pos >= text.size()) return 0;
  unsigned char c = byte(text, pos);
  if (c < 0x80) return ((c >= 0x09 && c <= 0x0d) || (c >= 0x1c && c <= 0x20)) ? 1 : 0;
  // The non-ASCII whitespace of the host: U+0085, U+00A0, U+1680,
  // U+2000..U+200A, U+2028, U+2029, U+202F, U+205F, U+3000.
  if (c == 0xc2 && has(text, pos, 2)) {
    unsigned char d = byte(text, pos + 1);
    return (d == 0x85 || d == 0xa0) ? 2 : 0;
  }
  if (!has(text, pos, 3)) return 0;
  unsigned char d = byte(text, pos + 1), e = byte(text, pos + 2);
  if (c == 0xe1) return (d == 0x9a && e == 0x80) ? 3 : 0;
  if (c == 0xe2 && d == 0x80)
    return ((e >= 0x80 && e <= 0x8a) || e == 0xa8 || e == 0xa9 || e == 0xaf) ? 3 : 0;
  if (c == 0xe2 && d == 0x81) return e == 0x9f ? 3 : 0;
  if (c == 0xe3) return (d == 0x80 && e == 0x80) ? 3 : 0;
  return 0;
}

std::size_t char_length(std::string_view text, std::size_t pos) {
  unsigned char c = byte(text, pos);
  std::size_t length = c < 0xc0 ? 1 : c < 0xe0 ? 2 : c < 0xf0 ? 3 : 4;
  if (!has(text, pos, length)) return 1;
  // A lead byte without its continuation bytes stands alone, so it never
  // swallows the blank or the word after it.
  for (std::size_t k = 1; k < length; ++k)
    if ((byte(text, pos + k) & 0xc0) != 0x80) return 1;
  return length;
}

std::vector<std::string_view> split_lines(std::string_view text) {
  std::vector<std::string_view> lines;
  std::size_t start = 0, pos = 0;
  while (pos < text.size()) {
    char c = text[pos];
    if (c == '\n' || c == '\r') {
      lines.push_back(text.substr(start, pos - start));
      pos += (c == '\r' && pos + 1 < text.size() && text[pos + 1] == '\n') ? 2 : 1;
      start = pos;
    } else {
      ++pos;
    }
  }
  if (start < text.size()) lines.push_back(text.substr(start));
  return lines;
}

std::size_t word_end(std::string_view text, std::size_t pos) {
  while (pos < text.size() && !space_at(text, pos)) pos += char_length(text, pos);
  return pos;
}

std::vector<std::string_view> split_words(std::string_view text) {
  std::vector<std::string_view> words;
  std::size_t pos = 0;
  while (pos < text.size()) {
    if (std::size_t blank = space_at(text, pos)) {
      pos += blank;
      continue;
    }
    std::size_t end = word_end(text, pos);
    words.push_back(text.substr(pos, end - pos));
    pos = end;
  }
  return words;
}

std::string_view strip(std::string_view text) {
  std::size_t begin = 0;
  while (std::size_t blank = space_at(text, begin)) begin += blank;
  std::size_t end = begin, pos = begin;
  while (pos < text.size()) {
    std::size_t blank = space_at(text, pos);
    pos += blank ? blank : char_length(text, pos);
    if (!blank) end = pos;
  }
  return text.substr(begin, end - begin);
}

bool is_blank(std::string_view text) { return strip(text).empty(); }

long find_word(const std::vector<std::string_view>& words, std::string_view word) {
  for (std::size_t i = 0; i < words.size(); ++i)
    if (words[i] == word) return static_cast<long>(i);
  return -1;
}

Number decimal(std::string_view text) {
  std::string_view bare = strip(text);
  common::IntParseResult parsed = common::parse_decimal(bare);
  if (parsed.value) return Number{*parsed.value, {}};
  return Number{0, failure(parsed.error == common::IntParseError::kOverflow
                               ? FailureKind::kOverflow
                               : FailureKind::kInvalidDecimal,
                           text)};
}

Number hexadecimal(std::string_view text) {
  std::string_view bare = strip(text);
  std::size_t pos = 0;
  bool negative = false;
  if (pos < bare.size() && (bare[pos] == '+' || bare[pos] == '-')) negative = bare[pos++] == '-';
  if (pos + 1 < bare.size() && bare[pos] == '0' && (bare[pos + 1] == 'x' || bare[pos + 1] == 'X'))
    pos += 2;
  if (pos == bare.size()) return Number{0, failure(FailureKind::kInvalidHex, text)};
  // Accumulated as a negative number so that the most negative value fits.
  constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
  std::int64_t value = 0;
  bool overflow = false;
  for (; pos < bare.size(); ++pos) {
    int digit = hex_digit(bare[pos]);
    if (digit < 0) return Number{0, failure(FailureKind::kInvalidHex, text)};
    if (value < (kMin + digit) / 16) overflow = true;
    if (!overflow) value = value * 16 - digit;
  }
  if (overflow || (!negative && value == kMin))
    return Number{0, failure(FailureKind::kOverflow, text)};
  return Number{negative ? value : -value, {}};
}

Number hex_or_decimal(std::string_view text) {
  return text.find("0x") != std::string_view::npos ? hexadecimal(text) : decimal(text);
}

std::size_t digit_run(std::string_view text, std::size_t pos) {
  std::size_t end = pos;
  while (end < text.size() && text[end] >= '0' && text[end] <= '9') ++end;
  return end - pos;
}

}  // namespace fanoutprobe
