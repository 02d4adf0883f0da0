// The word and number scanning every SDK shell and kernel reader stands
// on: words rejoined split the same, stripping is idempotent, and numbers
// read back from their own text.
#include <cinttypes>
#include <cstdio>
#include <string>

#include "fanoutprobe/core/text_scan.hpp"
#include "tests/fuzz/fuzz_check.hpp"

using namespace fanoutprobe;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view text = fuzz::text_of(data, size);
  std::size_t total = 0;
  for (std::string_view line : split_lines(text)) {
    fuzz::require_inside(line, text);
    fuzz::require(line.find('\n') == std::string_view::npos &&
                  line.find('\r') == std::string_view::npos);
    total += line.size();
  }
  fuzz::require(total <= text.size());
  std::vector<std::string_view> words = split_words(text);
  std::string joined;
  for (std::string_view word : words) {
    fuzz::require(!word.empty() && space_at(word, 0) == 0);
    fuzz::require_inside(word, text);
    joined += std::string(word) + " ";
  }
  fuzz::require(split_words(joined) == words);
  std::string_view stripped = strip(text);
  fuzz::require_inside(stripped, text);
  fuzz::require(strip(stripped) == stripped);
  fuzz::require(is_blank(text) == words.empty());

  Number number = decimal(text);
  if (!number.failure) fuzz::require(decimal(std::to_string(number.value)).value == number.value);
  Number hex = hexadecimal(text);
  if (!hex.failure) {
    char written[32];
    std::uint64_t magnitude = hex.value < 0 ? 0 - static_cast<std::uint64_t>(hex.value)
                                            : static_cast<std::uint64_t>(hex.value);
    std::snprintf(written, sizeof written, "%s0x%" PRIx64, hex.value < 0 ? "-" : "", magnitude);
    Number again = hexadecimal(written);
    fuzz::require(!again.failure && again.value == hex.value);
  }
  hex_or_decimal(text);
  return 0;
}
