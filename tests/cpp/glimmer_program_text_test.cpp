#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "glimmer/core/led_texts.hpp"
#include "glimmer/core/main_loop_lines.hpp"
#include "glimmer/core/program_text.hpp"

namespace {

using glimmer::fill_template;

TEST(FillTemplate, InsertsEntriesUnchanged) {
  glimmer::TemplateEntries entries = {{"a", "x%(b)s"}, {"b", "y"}, {"n", "12"}, {"k(1)", "z"}};
  EXPECT_EQ(fill_template("[%(a)s|%(b)s|%(n)u|%(n)d|%(n)x|100%%|%(k(1))s]", entries),
            "[x%(b)s|y|12|12|12|100%|z]");
  EXPECT_EQ(fill_template("", entries), "");
}

TEST(FillTemplate, RefusesWhatItCannotFill) {
  glimmer::TemplateEntries entries = {{"a", "x"}};
  try {
    fill_template("%(missing)s", entries);
    FAIL();
  } catch (const glimmer::MissingEntry& error) {
    EXPECT_EQ(error.key(), "missing");
  }
  for (const char* bad : {"%s", "%(a)r", "%(a", "%(a)", "50%"}) {
    EXPECT_THROW(fill_template(bad, entries), glimmer::BadTemplate) << bad;
  }
}

TEST(FillTemplate, LayoutNamesEntriesWithoutCopyingThem) {
  auto known = [](std::string_view key) { return key == "a" || key.empty(); };
  auto parts = glimmer::template_layout("x%(a)sy%%%()s", known);
  ASSERT_EQ(parts.size(), 5u);
  EXPECT_FALSE(parts[0].is_entry);
  EXPECT_EQ(parts[0].text, "x");
  EXPECT_TRUE(parts[1].is_entry);
  EXPECT_EQ(parts[1].text, "a");
  EXPECT_EQ(parts[2].text, "y");
  EXPECT_EQ(parts[3].text, "%");
  EXPECT_TRUE(parts[4].is_entry);
  EXPECT_EQ(parts[4].text, "");
  EXPECT_THROW(glimmer::template_layout("%(b)s", known), glimmer::MissingEntry);
}

TEST(MainLoopLines, OperandsInColumnSeventeen) {
  EXPECT_EQ(glimmer::pad_count_load(300).text(), "\n        ld      a, 300");
  EXPECT_EQ(glimmer::port_position_load(6).text(), "\n        ld      a,6");
  EXPECT_EQ(glimmer::port_position_load(-1).text(), "\n        ld      a,-1");
  EXPECT_EQ(glimmer::pad_count_load(INT64_MIN).text(), "\n        ld      a, -9223372036854775808");
  EXPECT_EQ(glimmer::call_line("pad_n_one"), "\n        call    pad_n_one");
}

TEST(Ticks, WholeQuotientsOnly) {
  struct Case {
    double quotient;
    std::optional<std::int64_t> ticks;
  } cases[] = {{3.0, 3}, {0.0, 0}, {1.0, 1}, {1.5, std::nullopt}, {-2.0, -2},
               {100.0 / 30.0, std::nullopt}, {1.0 / 0.0, std::nullopt}};
  for (const Case& c : cases) EXPECT_EQ(glimmer::whole_ticks(c.quotient), c.ticks);
  EXPECT_THROW(glimmer::whole_ticks(1e300), std::overflow_error);
}

TEST(ProgramTexts, DefinesAndPortMapAddress) {
  EXPECT_EQ(glimmer::defines_text(3, "2"),
            "\n;;;\n;;; Platform-specific defines\n"
            "TICKS_PER_BLINK    equ    3    ; 0 to alternate every cycle (15Hz)\n"
            "NUM_LEDS           equ    2\n");
  std::string variables = glimmer::id_variables_text("c0");
  EXPECT_NE(variables.find("\nPORT_MAP_ARRAY     equ    0xc0\nID_ENABLE_P "), std::string::npos);
  EXPECT_EQ(variables.find('%'), std::string::npos);
}

TEST(ProgramTexts, EveryFixedTextStartsOnItsOwnLine) {
  for (const char* text : {glimmer::kProgramTemplate, glimmer::kDefinesTemplate,
                           glimmer::kConstantsText, glimmer::kPlainVariablesText,
                           glimmer::kIdVariablesTemplate, glimmer::kPlainBlinkRoutine,
                           glimmer::kIdBlinkRoutine, glimmer::kPlainBlinkUpdaterCalls,
                           glimmer::kIdBlinkUpdaterCalls, glimmer::kPadZero, glimmer::kPadNOne}) {
    std::string s = text;
    EXPECT_EQ(s.front(), '\n');
    EXPECT_EQ(s.find('\t'), std::string::npos);
    EXPECT_EQ(s.find(" \n"), std::string::npos);
  }
  EXPECT_EQ(std::string(glimmer::kPlainBlinkUpdaterCalls), "\n        call blink_update_state");
}

}  // namespace
