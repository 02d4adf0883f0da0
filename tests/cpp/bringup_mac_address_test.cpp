// MAC address parsing and derivation.
#include <gtest/gtest.h>

#include <cstdint>
#include <optional>

#include "bringup/core/mac_address.hpp"

namespace {

using bringup::MacAddress;

TEST(MacAddress, ParsesTheToolsText) {
  EXPECT_EQ(bringup::parse_base_mac("ff:ff:ff:ff:ff:00"), (MacAddress{255, 255, 255, 255, 255, 0}));
  EXPECT_EQ(bringup::parse_base_mac(" 2:0:A:1b:c0:05\n"), (MacAddress{2, 0, 10, 27, 192, 5}));
  for (const char* bad : {"", "1:2:3:4:5", "1:2:3:4:5:6:7", "1:2:3:4:5:100", "1:2::4:5:6",
                          "g:2:3:4:5:6", "0x1:2:3:4:5:6", "-1:2:3:4:5:6"}) {
    EXPECT_EQ(bringup::parse_base_mac(bad), std::nullopt) << bad;
  }
}

TEST(MacAddress, AddsTheIndexInTheLow24Bits) {
  struct Case {
    MacAddress base;
    std::int64_t index;
    std::optional<MacAddress> expected;
  };
  const Case cases[] = {
      {{1, 2, 3, 0xff, 0xff, 0xfe}, 1, MacAddress{1, 2, 3, 0xff, 0xff, 0xff}},
      {{1, 2, 3, 0xff, 0xff, 0xfe}, 2, std::nullopt},
      {{1, 2, 3, 0, 0, 0xff}, 1, MacAddress{1, 2, 3, 0, 1, 0}},
      {{1, 2, 3, 0, 0, 5}, 0, MacAddress{1, 2, 3, 0, 0, 5}},
      {{1, 2, 3, 0, 1, 0}, -1, MacAddress{1, 2, 3, 0, 0, 0xff}},
      {{1, 2, 3, 0, 0, 0}, -1, std::nullopt},
      // A sum whose bits 24 to 31 are clear is still past the OUI.
      {{1, 2, 3, 0, 0, 0}, std::int64_t{1} << 32, std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(bringup::derive_mac(c.base, c.index), c.expected) << c.index;
}

}  // namespace
