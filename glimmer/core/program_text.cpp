#include "glimmer/core/program_text.hpp"

#include <cmath>
#include <cstdio>

#include "glimmer/core/led_texts.hpp"

namespace glimmer {

namespace {

std::string unsupported(char conversion, std::size_t index) {
  char code[8];
  std::snprintf(code, sizeof code, "0x%x", static_cast<unsigned char>(conversion));
  return std::string("unsupported format character '") + conversion + "' (" + code +
         ") at index " + std::to_string(index);
}

}  // namespace

std::vector<TemplatePart> template_layout(std::string_view text,
                                          const std::function<bool(std::string_view)>& has_entry) {
  std::vector<TemplatePart> out;
  std::size_t i = 0;
  while (i < text.size()) {
    std::size_t percent = text.find('%', i);
    if (percent == std::string_view::npos) {
      out.push_back({false, text.substr(i)});
      break;
    }
    if (percent > i) out.push_back({false, text.substr(i, percent - i)});
    if (percent + 1 < text.size() && text[percent + 1] == '%') {
      out.push_back({false, text.substr(percent, 1)});
      i = percent + 2;
      continue;
    }
    if (percent + 1 >= text.size() || text[percent + 1] != '(') {
      throw BadTemplate("template conversion at index " + std::to_string(percent) +
                        " names no entry");
    }
    // The key runs to the matching parenthesis, as the host counts them.
    std::size_t depth = 1, end = percent + 2;
    for (; end < text.size() && depth > 0; ++end) {
      if (text[end] == '(') ++depth;
      if (text[end] == ')') --depth;
    }
    if (depth != 0) throw BadTemplate("incomplete format key");
    std::string_view key = text.substr(percent + 2, end - 1 - (percent + 2));
    if (end >= text.size()) throw BadTemplate("incomplete format");
    char conversion = text[end];
    if (conversion != 's' && conversion != 'u' && conversion != 'd' && conversion != 'x') {
      throw BadTemplate(unsupported(conversion, end));
    }
    if (!has_entry(key)) throw MissingEntry(std::string(key));
    out.push_back({true, key});
    i = end + 1;
  }
  return out;
}

std::string fill_template(std::string_view text, const TemplateEntries& entries) {
  auto known = [&entries](std::string_view key) { return entries.find(key) != entries.end(); };
  std::string out;
  out.reserve(text.size());
  for (const TemplatePart& part : template_layout(text, known)) {
    out.append(part.is_entry ? std::string_view(entries.find(part.text)->second) : part.text);
  }
  return out;
}

std::optional<std::int64_t> whole_ticks(double quotient) {
  if (!std::isfinite(quotient) || quotient != std::trunc(quotient)) return std::nullopt;
  if (std::fabs(quotient) >= 9223372036854775808.0) {
    throw std::overflow_error("blink period too large");
  }
  return static_cast<std::int64_t>(quotient);
}

std::string defines_text(std::int64_t ticks_per_blink, std::string_view num_leds_text) {
  return fill_template(kDefinesTemplate, {{"ticks_per_blink", std::to_string(ticks_per_blink)},
                                          {"num_leds", std::string(num_leds_text)}});
}

std::string id_variables_text(std::string_view base_addr_hex) {
  return fill_template(kIdVariablesTemplate, {{"base_addr", std::string(base_addr_hex)}});
}

}  // namespace glimmer
