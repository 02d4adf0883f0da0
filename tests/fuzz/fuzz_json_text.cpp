// The link-defaults JSON layout: any JSON value rendered reads back as the
// same value, in printable ASCII only.
#include <cmath>
#include <string>

#include "bringup/core/json_text.hpp"
#include "tests/fuzz/fuzz_check.hpp"

namespace {

// JSON has no text for an infinite number (a literal too large for a
// double reads as one), so such values are left out.
bool finite(const nlohmann::json& value) {
  if (value.is_number_float()) return std::isfinite(value.get<double>());
  if (value.is_structured())
    for (const auto& element : value)
      if (!finite(element)) return false;
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view text = fuzz::text_of(data, size);
  nlohmann::json value = nlohmann::json::parse(text.begin(), text.end(), nullptr, false);
  if (value.is_discarded() || !finite(value)) return 0;
  std::string rendered = bringup::json_text(value);
  for (char c : rendered) fuzz::require(c == '\n' || (c >= 0x20 && c < 0x7f));
  fuzz::require(nlohmann::json::parse(rendered) == value);
  return 0;
}
