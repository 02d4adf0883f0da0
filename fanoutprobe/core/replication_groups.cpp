#include "fanoutprobe/core/replication_groups.hpp"

#include "fanoutprobe/core/text_scan.hpp"

namespace fanoutprobe {

std::vector<std::string_view> split_group_blocks(std::string_view output) {
  static constexpr std::string_view kGroup = "Group";
  std::vector<std::string_view> blocks;
  std::size_t at = output.find(kGroup);
  while (at != std::string_view::npos) {
    std::size_t start = at + kGroup.size();
    at = output.find(kGroup, start);
    blocks.push_back(output.substr(start, at == std::string_view::npos ? at : at - start));
  }
  return blocks;
}

namespace {

// "\s+port (\S+), encap id ([+-]?\d+)" at the start of the line: the
// port's word ends in the comma that " encap id " follows.
bool read_member(std::string_view line, GroupMember& member, Failure& fault) {
  static constexpr std::string_view kPort = "port ", kEncap = " encap id ";
  std::size_t pos = 0;
  while (std::size_t blank = space_at(line, pos)) pos += blank;
  if (pos == 0 || line.substr(pos, kPort.size()) != kPort) return false;
  std::size_t name_at = pos + kPort.size();
  std::size_t name_end = word_end(line, name_at);
  if (name_end < name_at + 2 || line[name_end - 1] != ',') return false;
  if (line.substr(name_end, kEncap.size()) != kEncap) return false;
  std::size_t number_at = name_end + kEncap.size();
  std::size_t sign = number_at < line.size() && (line[number_at] == '+' || line[number_at] == '-');
  std::size_t digits = digit_run(line, number_at + sign);
  if (digits == 0) return false;
  Number intf = decimal(line.substr(number_at, sign + digits));
  if (intf.failure) {
    fault = intf.failure;
    return true;
  }
  member = {line.substr(name_at, name_end - 1 - name_at), intf.value};
  return true;
}

}  // namespace

GroupRead read_group_block(std::string_view block) {
  GroupRead read;
  std::vector<std::string_view> lines = split_lines(block);
  if (lines.empty()) return read;
  std::string_view header = lines[0];
  if (header.find("L2") != std::string_view::npos ||
      header.find("VXLAN") != std::string_view::npos)
    return read;
  std::vector<std::string_view> tokens = split_words(header);
  if (tokens.empty()) {
    read.failure = failure(FailureKind::kIndex);
    return read;
  }
  Number id = hexadecimal(tokens[0]);
  if (id.failure) {
    read.failure = id.failure;
    return read;
  }
  read.id = id.value;
  for (std::size_t i = 1; i < lines.size(); ++i) {
    GroupMember member;
    if (!read_member(lines[i], member, read.failure)) continue;
    if (read.failure) return read;
    read.members.push_back(member);
  }
  read.record = true;
  return read;
}

}  // namespace fanoutprobe
