// The ports.conf reader's eight rules, one table row each where it fits.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "bringup/core/ports_conf.hpp"

namespace {

using Entries = std::vector<std::pair<std::string, std::string>>;

struct Case {
  const char* what;
  const char* text;
  Entries entries;
};

const Case kCases[] = {
    {"empty text", "", {}},
    {"both separators, blanks around", "1 = 40G\n2:4x10G\n", {{"1", "40G"}, {"2", "4x10G"}}},
    {"first separator wins", "1=a:b=c\n", {{"1", "a:b=c"}}},
    {"label case kept", "Fabric-2=4x\n", {{"Fabric-2", "4x"}}},
    {"comment after a blank", "1 = 40G ; note\n", {{"1", "40G"}}},
    {"no comment without a blank", "1=40G;x\n", {{"1", "40G;x"}}},
    {"comment cut, then stripped again", "1=40G\t; x ; y\n", {{"1", "40G"}}},
    {"leading semicolon is no comment", "1= ;x \n", {{"1", ";x"}}},
    {"two quotes are the empty mode", "1=\"\"\n", {{"1", ""}}},
    {"comments and blank lines", "# c\n; c\n   \t\nrem c\nREM\n2=10G\n", {{"2", "10G"}}},
    {"rem must be a word", "rems=1\n", {{"rems", "1"}}},
    {"continuation", "1=40G\n  2=40G\n", {{"1", "40G\n2=40G"}}},
    {"continuation over a comment", "1=40G\n# c\n\tmore\n", {{"1", "40G\nmore"}}},
    {"later line wins, first place kept", "1=a\n2=b\n1=c\n", {{"1", "c"}, {"2", "b"}}},
    {"other sections ignored", "1=a\n[x]\n2=b\n[ports]\n3=c\n", {{"1", "a"}, {"3", "c"}}},
    {"DEFAULT fills undefined labels", "1=a\n[DEFAULT]\n1=z\n9=d\n", {{"1", "a"}, {"9", "d"}}},
    {"section header with text after it", "[x] junk\n1=a\n", {}},
    {"CR and CRLF line ends", "1=a\r2=b\r\n3=c", {{"1", "a"}, {"2", "b"}, {"3", "c"}}},
    {"vertical tab and form feed are no blanks", "1=40G\n\x0b" "2=10G\n\x0c" "3 = \x0c" "4x\n",
     {{"1", "40G"}, {"\x0b" "2", "10G"}, {"\x0c" "3", "\x0c" "4x"}}},
};

TEST(PortsConf, ParsesByTheRules) {
  for (const Case& c : kCases) {
    bringup::ParsedLayout layout = bringup::parse_ports_conf(c.text);
    EXPECT_TRUE(layout.bad_lines.empty()) << c.what;
    EXPECT_EQ(layout.entries, c.entries) << c.what;
  }
}

TEST(PortsConf, ReportsEveryBadLineNumberedWithTheHeader) {
  bringup::ParsedLayout layout =
      bringup::parse_ports_conf("  indented first\n1=a\nno separator\n=x\n[]\n[x]\n  after header\n");
  std::vector<std::pair<int, std::string>> got;
  for (const auto& line : layout.bad_lines) got.emplace_back(line.number, line.text);
  const std::vector<std::pair<int, std::string>> expected = {
      {2, "  indented first"}, {4, "no separator"}, {5, "=x"}, {6, "[]"}, {8, "  after header"}};
  EXPECT_EQ(got, expected);
  EXPECT_TRUE(layout.entries.empty());
}

}  // namespace
