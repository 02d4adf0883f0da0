#include "bringup/core/mac_address.hpp"

namespace bringup {

namespace {

bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

int hex_digit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::optional<std::int64_t> parse_byte(std::string_view field) {
  while (!field.empty() && is_blank(field.front())) field.remove_prefix(1);
  while (!field.empty() && is_blank(field.back())) field.remove_suffix(1);
  if (field.empty()) return std::nullopt;
  std::int64_t value = 0;
  for (char c : field) {
    int digit = hex_digit(c);
    if (digit < 0) return std::nullopt;
    value = value * 16 + digit;
    if (value > 255) return std::nullopt;
  }
  return value;
}

}  // namespace

std::optional<MacAddress> parse_base_mac(std::string_view text) {
  MacAddress address{};
  std::size_t count = 0;
  while (true) {
    std::size_t colon = text.find(':');
    if (count == address.size()) return std::nullopt;
    auto byte = parse_byte(text.substr(0, colon));
    if (!byte) return std::nullopt;
    address[count++] = *byte;
    if (colon == std::string_view::npos) break;
    text.remove_prefix(colon + 1);
  }
  if (count != address.size()) return std::nullopt;
  return address;
}

std::optional<MacAddress> derive_mac(const MacAddress& base, std::int64_t index) {
  const std::int64_t extension = base[5] | (base[4] << 8) | (base[3] << 16);
  // Checked before adding, so no index can overflow the sum.
  if (index > 0xFFFFFF - extension || index < -extension) return std::nullopt;
  const std::int64_t sum = extension + index;
  return MacAddress{base[0], base[1], base[2], (sum >> 16) & 0xFF, (sum >> 8) & 0xFF, sum & 0xFF};
}

}  // namespace bringup
