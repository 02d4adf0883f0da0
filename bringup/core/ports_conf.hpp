// The ports.conf reader: plain C++ over UTF-8 text, free of Python.
//
// The file has no section header of its own; the reader puts "[ports]" in
// front, so every entry up to the file's first header belongs to the port
// section. The rules:
//  1. "[ports]\n" is put in front of the text before parsing.
//  2. An entry is "label<sep>mode"; the separator is the first "=" or ":".
//     The label starts with a character other than a blank, "=" or ":" and
//     loses its trailing blanks; its letter case is kept.
//  3. The mode is the rest of the line, stripped. The first ";" that follows
//     a blank starts a comment; the mode is stripped again after the cut.
//     A mode written "" is the empty text.
//  4. Blank lines (blanks only), lines starting "#" or ";", and lines whose
//     first word is "rem" in any case (starting with r or R) are comments.
//  5. A line starting with a blank continues the mode of the entry above
//     (a newline, then its stripped text); with no entry above it in its
//     section it is an error.
//  6. "[name]" starts a section. Only "ports" entries count, plus those of
//     "DEFAULT" for labels the port section does not define.
//  7. A label given twice in the port section: the later line wins.
//  8. Any other line is an error; every bad line is reported, numbered in
//     the text with the added header line.
// Blanks are space and tab. Lines end at LF, CR or CRLF.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace bringup {

struct LayoutLine {
  int number;        // counted with the added "[ports]" line
  std::string text;  // without its line end
};

struct ParsedLayout {
  // Port entries in the order their labels first appear, then the DEFAULT
  // entries the port section does not define, in the same order.
  std::vector<std::pair<std::string, std::string>> entries;
  std::vector<LayoutLine> bad_lines;  // empty when the text parsed
};

// Parses the file's text (without the added header).
ParsedLayout parse_ports_conf(std::string_view file_text);

}  // namespace bringup
