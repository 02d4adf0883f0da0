// MAC address arithmetic over plain values, free of Python.
//
// An address is six bytes, most significant first: bytes 0 to 2 are the
// OUI, which derivation never changes; bytes 3 to 5 the 24-bit extension
// to which a port's index is added.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace bringup {

using MacAddress = std::array<std::int64_t, 6>;

// The base address the EEPROM tool prints: six ":"-separated fields, each
// one or more hexadecimal digits worth 0 to 255, blanks around a field
// allowed (the tool's line end). Nothing otherwise.
std::optional<MacAddress> parse_base_mac(std::string_view text);

// The base address plus `index` in the extension; nothing when the sum
// leaves the 24 bits (a carry into the OUI, or a negative sum).
std::optional<MacAddress> derive_mac(const MacAddress& base, std::int64_t index);

}  // namespace bringup
