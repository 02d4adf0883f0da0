// The readers stay linear on one long line: a memory-dump line of many
// entry-like pieces or many fields, and a translation line of many fields.
// Each case reads about 640 KB; a reader that goes back over the line per
// piece or per field takes seconds here instead of milliseconds.
#include <gtest/gtest.h>

#include <string>

#include "fanoutprobe/core/l3_tables.hpp"
#include "fanoutprobe/core/route_tables.hpp"

namespace fanoutprobe {
namespace {

std::string repeated(const std::string& piece, std::size_t times) {
  std::string text;
  text.reserve(piece.size() * times);
  for (std::size_t i = 0; i < times; ++i) text += piece;
  return text;
}

TEST(FanoutprobeLongLines, DumpEntryAfterManyUnclosedOpenings) {
  struct Case { std::string what; std::string line; };
  const Case cases[] = {
      // Blank-separated runs, none closed by ">".
      {"separate runs", repeated("[1]: <x ", 80000) + "[7]: <A=1,B=2>"},
      // One blank-free run of openings, never closed.
      {"one run", repeated("[1]: <", 107000) + " [7]: <A=1,B=2>"},
  };
  for (const Case& c : cases) {
    DumpEntry entry = read_dump_entry(c.line);
    EXPECT_TRUE(entry.is_entry) << c.what;
    EXPECT_EQ(entry.index, "7") << c.what;
    ASSERT_EQ(entry.fields.size(), 2u) << c.what;
    EXPECT_EQ(entry.fields[0].first, "A") << c.what;
    EXPECT_EQ(entry.fields[1].second, "2") << c.what;
  }
}

TEST(FanoutprobeLongLines, DumpEntryOfManyFieldsKeepsFirstSeenOrderAndLastValue) {
  const std::size_t count = 60000;
  std::string line = "X[3]: <";
  for (std::size_t i = 0; i < count; ++i) line += "F" + std::to_string(i) + "=" + std::to_string(i) + ",";
  line += "F0=last>";
  DumpEntry entry = read_dump_entry(line);
  ASSERT_TRUE(entry.is_entry);
  ASSERT_EQ(entry.fields.size(), count);
  EXPECT_EQ(entry.fields[0].first, "F0");
  EXPECT_EQ(entry.fields[0].second, "last");
  EXPECT_EQ(entry.fields[count - 1].first, "F" + std::to_string(count - 1));
  EXPECT_EQ(entry.fields[count - 1].second, std::to_string(count - 1));
}

TEST(FanoutprobeLongLines, TranslationOfManyFields) {
  std::string line = "modid = 0 port = 12, new_vid = 4000, ";
  for (std::size_t i = 0; i < 40000; ++i) line += "k" + std::to_string(i) + " = 1, ";
  line += "old_vid = 30, new_vid = 4001";
  XlateRead read = read_vlan_translations(line);
  ASSERT_EQ(read.rows.size(), 1u);
  EXPECT_EQ(read.rows[0].lport, 12);
  EXPECT_EQ(read.rows[0].ivid, 4001);
  EXPECT_EQ(read.rows[0].evid, 30);
}

}  // namespace
}  // namespace fanoutprobe
