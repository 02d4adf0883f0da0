#include "bringup/core/json_text.hpp"

#include <cstdint>

namespace bringup {

namespace {

void write_unit(std::uint32_t unit, std::string& out) {
  static const char kDigits[] = "0123456789abcdef";
  out += "\\u";
  for (int shift = 12; shift >= 0; shift -= 4) out += kDigits[(unit >> shift) & 0xf];
}

// A text as the host's json.dumps writes it: printable ASCII as is, the
// short escapes, and every other character as \u escapes of its UTF-16
// units. The text is UTF-8 in which a lone surrogate may stand in its
// three-byte form (a host text may hold one); nlohmann refuses those, so
// texts are written here.
void write_text(const std::string& text, std::string& out) {
  out += '"';
  for (std::size_t i = 0; i < text.size();) {
    const auto lead = static_cast<unsigned char>(text[i]);
    const int length = lead < 0x80 ? 1 : lead < 0xe0 ? 2 : lead < 0xf0 ? 3 : 4;
    std::uint32_t code = length == 1 ? lead : lead & (0x7f >> length);
    for (int k = 1; k < length; ++k) {
      code = (code << 6) | (i + k < text.size() ? static_cast<unsigned char>(text[i + k]) & 0x3f : 0);
    }
    i += static_cast<std::size_t>(length);
    switch (code) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      case '\b': out += "\\b"; break;
      case '\f': out += "\\f"; break;
      default:
        if (code >= 0x20 && code < 0x7f) {
          out += static_cast<char>(code);
        } else if (code < 0x10000) {
          write_unit(code, out);
        } else {
          write_unit(0xd800 + ((code - 0x10000) >> 10), out);
          write_unit(0xdc00 + ((code - 0x10000) & 0x3ff), out);
        }
    }
  }
  out += '"';
}

void write(const nlohmann::json& value, int level, std::string& out) {
  const std::string inner(static_cast<std::size_t>(4 * (level + 1)), ' ');
  const std::string outer(static_cast<std::size_t>(4 * level), ' ');
  if (value.is_object() && !value.empty()) {
    out += "{";
    bool first = true;
    for (const auto& [key, member] : value.items()) {
      out += first ? "\n" : ", \n";
      first = false;
      out += inner;
      write_text(key, out);
      out += ": ";
      write(member, level + 1, out);
    }
    out += "\n" + outer + "}";
  } else if (value.is_array() && !value.empty()) {
    out += "[";
    bool first = true;
    for (const auto& element : value) {
      out += first ? "\n" : ", \n";
      first = false;
      out += inner;
      write(element, level + 1, out);
    }
    out += "\n" + outer + "]";
  } else if (value.is_string()) {
    write_text(value.get_ref<const std::string&>(), out);
  } else {
    // Other scalars, "{}" and "[]": nlohmann writes them as the layout wants.
    out += value.dump(-1, ' ', true);
  }
}

}  // namespace

std::string json_text(const nlohmann::json& value) {
  std::string out;
  write(value, 0, out);
  return out;
}

}  // namespace bringup
