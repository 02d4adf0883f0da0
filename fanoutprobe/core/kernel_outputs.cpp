#include "fanoutprobe/core/kernel_outputs.hpp"

#include "fanoutprobe/core/text_scan.hpp"

namespace fanoutprobe {

bool is_device_name(std::string_view name) {
  if (name.empty() || name == "." || name == "..") return false;
  for (std::size_t pos = 0; pos < name.size(); pos += char_length(name, pos)) {
    if (name[pos] == '/' || name[pos] == '\0' || space_at(name, pos)) return false;
  }
  return true;
}

std::optional<std::string_view> link_kind(std::string_view output) {
  std::vector<std::string_view> lines = split_lines(output);
  if (lines.size() < 3 || lines[0].find("does not exist") != std::string_view::npos)
    return std::nullopt;
  std::vector<std::string_view> words = split_words(lines[2]);
  if (words.empty()) return std::nullopt;
  return words.front();
}

std::vector<std::string_view> bond_slaves(std::string_view file) { return split_words(file); }

VlanDeviceRead read_vlan_devices(std::string_view config) {
  VlanDeviceRead read;
  std::vector<std::string_view> lines = split_lines(config);
  for (std::size_t i = 2; i < lines.size(); ++i) {
    std::string_view line = lines[i];
    std::size_t first = line.find('|');
    if (first == std::string_view::npos) continue;
    std::size_t second = line.find('|', first + 1);
    if (second == std::string_view::npos) continue;
    std::size_t third = line.find('|', second + 1);  // fields after the third are ignored
    std::string_view vid_text = strip(line.substr(first + 1, second - first - 1));
    Number vid = decimal(vid_text);
    if (vid.failure) {
      read.failure = vid.failure;
      return read;
    }
    std::string_view atlink = line.substr(second + 1, third == std::string_view::npos
                                                          ? std::string_view::npos
                                                          : third - second - 1);
    read.devices.push_back({strip(line.substr(0, first)), vid.value, strip(atlink)});
  }
  return read;
}

std::optional<std::string> group_mac(std::string_view group) {
  int parts[4];
  std::size_t pos = 0;
  for (int i = 0; i < 4; ++i) {
    if (i > 0) {
      if (pos >= group.size() || group[pos] != '.') return std::nullopt;
      ++pos;
    }
    std::size_t digits = digit_run(group, pos);
    if (digits == 0 || digits > 3) return std::nullopt;
    int value = 0;
    for (std::size_t k = 0; k < digits; ++k) value = value * 10 + (group[pos + k] - '0');
    if (value > 255) return std::nullopt;
    parts[i] = value;
    pos += digits;
  }
  if (pos != group.size()) return std::nullopt;
  static const char kHex[] = "0123456789abcdef";
  std::string mac = "01:00:5e:xx:xx:xx";
  const int bytes[3] = {parts[1] & 127, parts[2], parts[3]};
  for (int i = 0; i < 3; ++i) {
    mac[9 + 3 * i] = kHex[bytes[i] >> 4];
    mac[10 + 3 * i] = kHex[bytes[i] & 15];
  }
  return mac;
}

namespace {

// `literal` at `pos`, then a word (a run of non-blank characters, at least
// one); the word's end, or npos.
std::size_t literal_then_word(std::string_view line, std::size_t pos, std::string_view literal,
                              std::string_view& word) {
  if (pos == std::string_view::npos || line.substr(pos, literal.size()) != literal)
    return std::string_view::npos;
  std::size_t start = pos + literal.size();
  std::size_t end = word_end(line, start);
  if (end == start) return std::string_view::npos;
  word = line.substr(start, end - start);
  return end;
}

}  // namespace

std::vector<MdbLine> read_mdb(std::string_view output, std::string_view bridge,
                              bool vlan_filtering) {
  std::vector<MdbLine> entries;
  for (std::string_view line : split_lines(output)) {
    std::string_view dev, port, group, flag;
    std::size_t pos = literal_then_word(line, 0, "dev ", dev);
    pos = literal_then_word(line, pos, " port ", port);
    pos = literal_then_word(line, pos, " grp ", group);
    if (pos == std::string_view::npos) continue;
    std::int64_t vid = -1;
    if (vlan_filtering) {
      pos = literal_then_word(line, pos, " ", flag);
      static constexpr std::string_view kVid = " vid ";
      if (pos == std::string_view::npos || line.substr(pos, kVid.size()) != kVid) continue;
      std::size_t digits = digit_run(line, pos + kVid.size());
      if (digits == 0) continue;
      Number number = decimal(line.substr(pos + kVid.size(), digits));
      if (number.failure) continue;  // more digits than any VLAN id has
      vid = number.value;
    }
    if (dev != bridge) continue;
    if (!group_mac(group)) continue;  // an IPv6 group, or anything that is not IPv4
    entries.push_back({port, group, vid});
  }
  return entries;
}

}  // namespace fanoutprobe
