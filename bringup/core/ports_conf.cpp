#include "bringup/core/ports_conf.hpp"

#include <cctype>
#include <map>

namespace bringup {

namespace {

// Blanks are space and tab alone: a vertical tab or form feed is text.
bool is_blank(char c) { return c == ' ' || c == '\t'; }

std::string_view strip(std::string_view text) {
  while (!text.empty() && is_blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && is_blank(text.back())) text.remove_suffix(1);
  return text;
}

std::vector<std::string_view> split_lines(std::string_view text) {
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\n' && text[i] != '\r') continue;
    lines.push_back(text.substr(start, i - start));
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    start = i + 1;
  }
  if (start < text.size()) lines.push_back(text.substr(start));
  return lines;
}

bool is_comment(std::string_view line) {
  if (strip(line).empty() || line[0] == '#' || line[0] == ';') return true;
  if (line[0] != 'r' && line[0] != 'R') return false;
  std::size_t end = 0;
  while (end < line.size() && !is_blank(line[end])) ++end;
  if (end != 3) return false;
  return std::tolower(static_cast<unsigned char>(line[1])) == 'e' &&
         std::tolower(static_cast<unsigned char>(line[2])) == 'm';
}

// The mode text of an entry: stripped, comment cut, stripped again.
std::string mode_of(std::string_view rest) {
  std::string_view mode = strip(rest);
  std::size_t semicolon = mode.find(';');
  if (semicolon != std::string_view::npos && semicolon > 0 && is_blank(mode[semicolon - 1])) {
    mode = strip(mode.substr(0, semicolon));
  }
  if (mode == "\"\"") return std::string();
  return std::string(mode);
}

// Entries of one section, keeping the order labels first appear.
struct Section {
  std::vector<std::string> order;
  std::map<std::string, std::string> values;
  void set(const std::string& label, std::string mode) {
    if (values.find(label) == values.end()) order.push_back(label);
    values[label] = std::move(mode);
  }
};

}  // namespace

ParsedLayout parse_ports_conf(std::string_view file_text) {
  ParsedLayout result;
  Section ports, defaults, other;
  Section* current = &ports;
  std::string current_label;  // empty: no entry to continue
  bool have_label = false;
  int number = 1;  // the added "[ports]" line
  for (std::string_view line : split_lines(file_text)) {
    ++number;
    if (is_comment(line)) continue;
    if (is_blank(line[0]) && have_label) {
      current->values[current_label] += "\n" + std::string(strip(line));
      continue;
    }
    std::size_t close = line[0] == '[' ? line.find(']') : std::string_view::npos;
    if (close != std::string_view::npos && close > 1) {
      std::string_view name = line.substr(1, close - 1);
      current = name == "ports" ? &ports : name == "DEFAULT" ? &defaults : &other;
      have_label = false;
      continue;
    }
    std::size_t separator = line.find_first_of("=:");
    if (separator == std::string_view::npos || separator == 0 || is_blank(line[0])) {
      result.bad_lines.push_back({number, std::string(line)});
      continue;
    }
    std::string_view label = line.substr(0, separator);
    while (is_blank(label.back())) label.remove_suffix(1);
    current_label = std::string(label);
    have_label = true;
    current->set(current_label, mode_of(line.substr(separator + 1)));
  }
  if (!result.bad_lines.empty()) return result;
  for (const std::string& label : ports.order) result.entries.emplace_back(label, ports.values[label]);
  for (const std::string& label : defaults.order) {
    if (ports.values.count(label) == 0) result.entries.emplace_back(label, defaults.values[label]);
  }
  return result;
}

}  // namespace bringup
