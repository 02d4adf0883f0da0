#include "fanoutprobe/core/port_tables.hpp"

#include "fanoutprobe/core/text_scan.hpp"

namespace fanoutprobe {

PortmapRead read_portmap(std::string_view output) {
  PortmapRead read;
  std::vector<std::string_view> lines = split_lines(output);
  if (lines.size() <= 1 || lines[0].find("Error") != std::string_view::npos) {
    read.failure = failure(FailureKind::kRuntime, "show portmap is not supported on this chip");
    return read;
  }
  long logical = find_word(split_words(lines[0]), "logical");
  if (logical < 0) {
    read.failure = failure(FailureKind::kRuntime, "show portmap format unexpected");
    return read;
  }
  std::size_t column = static_cast<std::size_t>(logical) + 1;
  for (std::size_t i = 1; i < lines.size(); ++i) {
    std::vector<std::string_view> words = split_words(lines[i]);
    if (words.empty()) continue;
    if (words.size() <= column) {
      read.failure = failure(FailureKind::kIndex);
      return read;
    }
    Number number = decimal(words[column]);
    if (number.failure) {
      read.failure = number.failure;
      return read;
    }
    read.rows.push_back({words[0], number.value});
  }
  return read;
}

PortVlanRead read_port_vlans(std::string_view output) {
  static constexpr std::string_view kPort = "Port ", kDefault = " default VLAN is ";
  PortVlanRead read;
  for (std::string_view line : split_lines(output)) {
    if (line.substr(0, kPort.size()) != kPort) continue;
    std::size_t name_end = word_end(line, kPort.size());
    if (name_end == kPort.size() || line.substr(name_end, kDefault.size()) != kDefault) continue;
    std::size_t digits_at = name_end + kDefault.size();
    std::size_t digits = digit_run(line, digits_at);
    if (digits == 0) continue;
    Number vlan = decimal(line.substr(digits_at, digits));
    if (vlan.failure) {
      read.failure = vlan.failure;
      return read;
    }
    read.rows.push_back({line.substr(kPort.size(), name_end - kPort.size()), vlan.value});
  }
  return read;
}

VlanShowRead read_vlan_show(std::string_view output) {
  static constexpr std::string_view kVlan = "vlan ", kUntagged = "untagged ";
  VlanShowRead read;
  for (std::size_t at = output.find(kVlan); at != std::string_view::npos;
       at = output.find(kVlan, at + 1)) {
    std::size_t digits_at = at + kVlan.size();
    std::size_t digits = digit_run(output, digits_at);
    if (digits == 0) continue;
    // "." stops only at a line feed: the rest of this line, CR included.
    std::size_t rest = digits_at + digits;
    std::size_t line_end = output.find('\n', rest);
    std::string_view tail = output.substr(rest, line_end == std::string_view::npos
                                                    ? std::string_view::npos
                                                    : line_end - rest);
    // The greedy ".*" ends at the last "untagged " that a word follows.
    for (std::size_t found = tail.rfind(kUntagged); found != std::string_view::npos;
         found = found == 0 ? std::string_view::npos : tail.rfind(kUntagged, found - 1)) {
      std::size_t word_at = found + kUntagged.size();
      if (word_at >= tail.size() || space_at(tail, word_at)) continue;
      Number vlan = decimal(output.substr(digits_at, digits));
      if (vlan.failure) {
        read.failure = vlan.failure;
        return read;
      }
      read.found = true;
      read.vlan = vlan.value;
      read.untagged_ports = tail.substr(word_at, word_end(tail, word_at) - word_at);
      return read;
    }
  }
  return read;
}

UntaggedPortsRead read_untagged_ports(std::string_view output) {
  UntaggedPortsRead read;
  std::vector<std::string_view> lines = split_lines(output);
  if (lines.size() <= 2) return read;
  read.found = true;
  for (std::size_t i = 2; i < lines.size(); ++i) {
    std::vector<std::string_view> words = split_words(lines[i]);
    if (words.empty()) continue;
    std::string_view name = words[0];
    read.ports.push_back(name.substr(0, name.find('(')));
  }
  return read;
}

}  // namespace fanoutprobe
