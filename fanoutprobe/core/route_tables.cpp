#include "fanoutprobe/core/route_tables.hpp"

#include <unordered_map>

#include "fanoutprobe/core/text_scan.hpp"

namespace fanoutprobe {

namespace {

constexpr long kAddressTitleWords = 3;  // "SRC IP ADDRESS", "MC IP ADDRESS"

}  // namespace

IpmcRead read_ipmc_table(std::string_view output) {
  IpmcRead read;
  std::vector<std::string_view> lines = split_lines(output);
  if (lines.empty()) {
    read.failure = failure(FailureKind::kIndex);
    return read;
  }
  std::vector<std::string_view> titles = split_words(lines[0]);
  const char* wanted[] = {"SRC", "MC", "GROUP", "VLAN", "VRF"};
  long at[5];
  for (int i = 0; i < 5; ++i) {
    at[i] = find_word(titles, wanted[i]);
    if (at[i] < 0) {
      read.failure = failure(FailureKind::kNotInList, wanted[i]);
      return read;
    }
  }
  // A column computed from a title too close to an address title would
  // silently read another field.
  bool laid_out = at[1] >= at[0] + kAddressTitleWords;
  for (int i = 2; i < 5; ++i) laid_out = laid_out && at[i] >= at[1] + kAddressTitleWords;
  if (!laid_out) {
    read.failure = failure(FailureKind::kValue, "ipmc table show format unexpected");
    return read;
  }
  const std::size_t src = at[0], mc = at[1] - 2, group = at[2] - 4, vlan = at[3] - 4,
                    vrf = at[4] - 4;
  read.rows.reserve(lines.size());
  std::vector<std::string_view> fields;
  for (std::size_t i = 2; i < lines.size(); ++i) {
    split_words(lines[i], fields);
    if (fields.size() <= group) continue;
    if (fields.size() <= vlan || fields.size() <= vrf) {
      read.failure = failure(FailureKind::kValue,
                             "ipmc table show row has no VLAN or VRF column: " +
                                 std::string(lines[i]));
      return read;
    }
    read.rows.push_back({fields[src], fields[mc], fields[vlan], fields[vrf], fields[group]});
  }
  return read;
}

DumpEntry read_dump_entry(std::string_view line) {
  static constexpr std::string_view kOpen = "]: <";
  DumpEntry entry;
  // The blank-free run last read and its last ">": every candidate inside
  // one run shares them, so each run is read once.
  std::size_t run_end = 0, run_close = std::string_view::npos;
  for (std::size_t at = line.find('['); at != std::string_view::npos; at = line.find('[', at + 1)) {
    std::size_t digits = digit_run(line, at + 1);
    std::size_t data_at = at + 1 + digits + kOpen.size();
    if (digits == 0 || line.substr(at + 1 + digits, kOpen.size()) != kOpen) continue;
    // The longest blank-free run after "<" that a ">" follows.
    if (data_at >= run_end) {
      run_end = word_end(line, data_at);
      std::size_t last = line.substr(data_at, run_end - data_at).rfind('>');
      run_close = last == std::string_view::npos ? last : data_at + last;
    }
    std::size_t close = run_close;
    if (close == std::string_view::npos || close <= data_at) continue;
    entry.is_entry = true;
    entry.index = line.substr(at + 1, digits);
    std::string_view data = line.substr(data_at, close - data_at);
    std::unordered_map<std::string_view, std::size_t> slot_of;  // name -> its place in fields
    std::size_t start = 0;
    while (true) {
      std::size_t comma = data.find(',', start);
      std::string_view item =
          data.substr(start, comma == std::string_view::npos ? comma : comma - start);
      std::size_t equals = item.find('=');
      if (equals != std::string_view::npos) {
        std::string_view name = item.substr(0, equals), rest = item.substr(equals + 1);
        std::string_view value = rest.substr(0, rest.find('='));
        auto [slot, added] = slot_of.try_emplace(name, entry.fields.size());
        if (added) {
          entry.fields.emplace_back(name, value);
        } else {
          entry.fields[slot->second].second = value;
        }
      }
      if (comma == std::string_view::npos) break;
      start = comma + 1;
    }
    return entry;
  }
  return entry;
}

std::string dotted_quad(std::int64_t value, Failure& fault) {
  if (value < 0 || value > 0xffffffffLL) {
    fault = failure(FailureKind::kValue,
                    "IPv4 address value out of range: " + std::to_string(value));
    return {};
  }
  std::string text;
  for (int shift = 24; shift >= 0; shift -= 8) {
    if (!text.empty()) text += '.';
    text += std::to_string((value >> shift) & 0xff);
  }
  return text;
}

}  // namespace fanoutprobe
