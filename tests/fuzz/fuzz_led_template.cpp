// The LED program template filler: the filled text or a clean refusal
// (a missing entry or a conversion it does not know), never a crash.
#include <cstdint>
#include <string>
#include <string_view>

#include "glimmer/core/program_text.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const glimmer::TemplateEntries entries = {
      {"num_leds", "16"}, {"chain", "0x20"}, {"", "empty"}};
  std::string_view text(reinterpret_cast<const char*>(data), size);
  try {
    glimmer::fill_template(text, entries);
  } catch (const glimmer::MissingEntry&) {
  } catch (const glimmer::BadTemplate&) {
  }
  return 0;
}
