// Strict decimal parsing: a result or a clean refusal, and every accepted
// number reads back from its own decimal text.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "common/strict_int_core.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  common::IntParseResult result = common::parse_decimal(text);
  if (result.value) {
    common::IntParseResult again = common::parse_decimal(std::to_string(*result.value));
    if (!again.value || *again.value != *result.value) std::abort();
  }
  return 0;
}
