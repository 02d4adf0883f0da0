// MAC address arithmetic: a parsed base address writes and reads back as
// itself; an address derived from it writes and reads back, and deriving
// by the opposite index returns the base.
#include <cstdio>
#include <cstring>
#include <string>

#include "bringup/core/mac_address.hpp"
#include "tests/fuzz/fuzz_check.hpp"

namespace {

std::string written(const bringup::MacAddress& address) {
  char text[18];
  for (auto byte : address) fuzz::require(byte >= 0 && byte <= 255);
  std::snprintf(text, sizeof text, "%02llx:%02llx:%02llx:%02llx:%02llx:%02llx",
                static_cast<long long>(address[0]), static_cast<long long>(address[1]),
                static_cast<long long>(address[2]), static_cast<long long>(address[3]),
                static_cast<long long>(address[4]), static_cast<long long>(address[5]));
  return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // The first eight bytes (when there are more) are the index to derive by.
  std::int64_t index = 0;
  if (size > 8) {
    std::memcpy(&index, data, sizeof index);
    data += 8;
    size -= 8;
  }
  std::optional<bringup::MacAddress> base = bringup::parse_base_mac(fuzz::text_of(data, size));
  if (!base) return 0;
  fuzz::require(bringup::parse_base_mac(written(*base)) == base);
  std::optional<bringup::MacAddress> derived = bringup::derive_mac(*base, index);
  if (!derived) return 0;
  for (int i = 0; i < 3; ++i) fuzz::require((*derived)[i] == (*base)[i]);
  fuzz::require(bringup::parse_base_mac(written(*derived)) == derived);
  fuzz::require(bringup::derive_mac(*derived, -index) == base);
  return 0;
}
