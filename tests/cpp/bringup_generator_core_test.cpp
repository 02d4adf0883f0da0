// The generator's plain C++ rendering: numbers as the host's % writes
// them, wide bitmaps, compressed port lists, the port script and the JSON
// layout.
#include <gtest/gtest.h>

#include "bringup/core/json_text.hpp"
#include "bringup/core/number_text.hpp"
#include "bringup/core/port_bitmap.hpp"
#include "bringup/core/port_lists.hpp"
#include "bringup/core/sdk_sections.hpp"

namespace bringup {
namespace {

TEST(NumberText, MatchesTheHostsPercent) {
  struct Case { std::int64_t value; int width; const char* hex; };
  for (const Case& c : {Case{255, 0, "ff"}, Case{0, 4, "0000"}, Case{-5, 4, "-005"},
                        Case{0x12345, 4, "12345"}, Case{INT64_MIN, 0, "-8000000000000000"}}) {
    EXPECT_EQ(hexadecimal(c.value, c.width), c.hex) << c.value;
  }
  EXPECT_EQ(decimal(-5, 3), "-05");
  EXPECT_EQ(decimal(5, 3), "005");
}

TEST(PortBitmap, OrsWordsOfAnyWidth) {
  PortBitmap bits({0, 0, 1});
  bits |= PortBitmap({0xf});
  EXPECT_EQ(bits.hex(), "10000000000000000000000000000000f");
  EXPECT_EQ(PortBitmap().hex(), "0");
}

TEST(CompressPortlist, RunsOfThreeOrMore) {
  struct Case { std::vector<std::string> names; const char* text; };
  for (const Case& c : {Case{{"xe3", "xe1", "xe2", "xe0", "xe5", "ce0", "xe6"}, "ce0,xe0-xe3,xe5,xe6"},
                        Case{{"xe1", "xe1", "xe2"}, "xe1,xe1,xe2"},
                        Case{{"xe999", "xe1000"}, "xe1000,xe999"}, Case{{}, ""},
                        // the extreme numbers: no run, no overflow
                        Case{{"xe1", "xe-9223372036854775808", "xe9223372036854775807"},
                             "xe-9223372036854775808,xe1,xe9223372036854775807"}}) {
    EXPECT_EQ(compress_portlist(c.names), c.text);
  }
  EXPECT_THROW(compress_portlist({"xe"}), PortNumberError);
}

TEST(PortScript, SpeedsAscendingThenLoopbackThenGroups) {
  const std::vector<std::string> names = {"ce0", "xe0"};
  std::vector<ScriptPort> ports = {{"100", 100, true, "g"}, {"10", 10, false, {}}};
  auto compress = [&](const std::vector<std::size_t>& list) -> std::optional<std::string> {
    std::vector<std::string> listed;
    for (std::size_t i : list) listed.push_back(names[i]);
    return compress_portlist(listed);
  };
  EXPECT_EQ(port_script(ports, compress),
            "setenv allports ce0,xe0\nsetenv 10Gports xe0\nsetenv 100Gports ce0\n"
            "setenv lbports ce0\nport $lbports lb=mac\nsetenv sdk_group_g ce0");
  EXPECT_EQ(port_script({}, compress), "setenv allports ");
  EXPECT_EQ(port_script(ports, [](const auto&) { return std::nullopt; }), std::nullopt);
}

TEST(JsonText, LayoutWithTrailingBlanks) {
  nlohmann::json value = {{"b", nlohmann::json::object()}, {"A", {{"x", true}, {"y", "\xc3\xa9"}}}};
  EXPECT_EQ(json_text(value),
            "{\n    \"A\": {\n        \"x\": true, \n        \"y\": \"\\u00e9\"\n    }, \n"
            "    \"b\": {}\n}");
}

TEST(Emphasis, IndexesRunPerUnitAndSkipNothing) {
  EmphasisPort quiet{0, false, 1, {}, {}, {}};
  EmphasisPort tuned{0, false, 1, std::vector<HostNumber>{7}, {}, {}};
  EXPECT_EQ(join_lines(emphasis_lines({quiet, tuned})), "serdes_preemphasis_2.0=0x0007");
  EXPECT_THROW(emphasis_lines({EmphasisPort{0, true, 1, std::vector<HostNumber>{1}, {}, {}}}),
               TuningIndexError);
}

TEST(PhyTable, NamesCarryOverAndStartAsNone) {
  PhyTablePort member{"40G/4", {1}, {}, {}};
  PhyTablePort leader{"40G", {32, 33}, {"xe0"}, {"swp1"}};
  EXPECT_EQ(join_lines(phy_table_rows({member, leader})),
            "0x1\tNone\tNone\t40G/4\n0x20\tswp1\txe0\t40G\n0x21\tswp1\txe0\t40G");
}

}  // namespace
}  // namespace bringup
