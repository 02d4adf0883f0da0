// The LED program text over plain values: filling the program's templates,
// the blink-tick rule and the defines text.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace glimmer {

// A template that names an entry it was not given.
class MissingEntry : public std::runtime_error {
 public:
  explicit MissingEntry(std::string key)
      : std::runtime_error("missing template entry: " + key), key_(std::move(key)) {}
  const std::string& key() const { return key_; }

 private:
  std::string key_;
};

// A template conversion other than a plain named one.
class BadTemplate : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

using TemplateEntries = std::map<std::string, std::string, std::less<>>;

// One part of a filled template: a stretch of the template's own text, or
// the place of the entry named `text`.
struct TemplatePart {
  bool is_entry = false;
  std::string_view text;
};

// Replaces each "%(key)s" (and the numeric "%(key)u", "%(key)d", "%(key)x")
// by the text of that entry, inserted unchanged, and "%%" by "%". Numeric
// entries are given already written in their base. Anything else after a
// "%" is a BadTemplate; an unknown key a MissingEntry.
std::string fill_template(std::string_view text, const TemplateEntries& entries);

// The same fill as the parts of the result, in order, nothing copied: the
// caller writes each entry from wherever it keeps it. `has_entry` tells
// which keys exist.
std::vector<TemplatePart> template_layout(std::string_view text,
                                          const std::function<bool(std::string_view)>& has_entry);

// Ticks per blink from the blink period divided by 30 (a real division):
// the quotient when it is a whole number, nothing otherwise. Throws
// std::overflow_error for a whole quotient beyond 64 bits.
std::optional<std::int64_t> whole_ticks(double quotient);

// The defines text: TICKS_PER_BLINK and NUM_LEDS (`num_leds_text` is the
// count already written in decimal).
std::string defines_text(std::int64_t ticks_per_blink, std::string_view num_leds_text);

// The ID variables text with the port map at `base_addr_hex` (lower-case
// hexadecimal digits, written after its "0x").
std::string id_variables_text(std::string_view base_addr_hex);

}  // namespace glimmer
