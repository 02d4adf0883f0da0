#include "bringup/core/sdk_sections.hpp"

#include <algorithm>
#include <utility>

#include "bringup/core/number_text.hpp"

namespace bringup {

namespace {

// A map that keeps its keys in order of first appearance: the sections
// are written in the same order on every run.
template <typename Key, typename Value>
class FirstSeenMap {
 public:
  Value* find(const Key& key) {
    auto it = std::find_if(entries_.begin(), entries_.end(),
                           [&](const auto& entry) { return entry.first == key; });
    return it == entries_.end() ? nullptr : &it->second;
  }
  Value& at_or(const Key& key, Value initial) {
    if (Value* found = find(key)) return *found;
    entries_.emplace_back(key, std::move(initial));
    return entries_.back().second;
  }
  const std::vector<std::pair<Key, Value>>& entries() const { return entries_; }

 private:
  std::vector<std::pair<Key, Value>> entries_;
};

}  // namespace

std::string join_lines(const std::vector<std::string>& lines) {
  std::string text;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (i) text += '\n';
    text += lines[i];
  }
  return text;
}

std::vector<std::string> bitmap_lines(const std::vector<BitmapEntry>& entries,
                                      const PortBitmap& base, bool mixed_oversub) {
  // Few groups and units per switch: the linear lookups stay short.
  FirstSeenMap<std::string, PortBitmap> groups;
  FirstSeenMap<HostNumber, PortBitmap> valid, oversubscribed;
  for (const BitmapEntry& entry : entries) {
    groups.at_or(entry.prefix + "." + decimal_of(entry.unit), PortBitmap()) |= entry.bits;
    valid.at_or(entry.unit, base) |= entry.bits;
    if (entry.oversub) oversubscribed.at_or(entry.unit, PortBitmap()) |= entry.bits;
  }
  std::vector<std::string> lines;
  for (const auto& [key, bits] : groups.entries()) {
    if (key.rfind("hg", 0) == 0) continue;
    lines.push_back("pbmp_xport_" + key + "=0x" + bits.hex());
  }
  for (const auto& [unit, bits] : valid.entries()) {
    lines.push_back("pbmp_valid." + decimal_of(unit) + "=0x" + bits.hex());
  }
  if (!oversubscribed.entries().empty()) {
    if (!mixed_oversub) {
      lines.push_back("oversubscribe_mode=1");
    } else {
      for (const auto& [unit, ignored] : valid.entries()) {
        if (const PortBitmap* bits = oversubscribed.find(unit)) {
          lines.push_back("pbmp_oversubscribe." + decimal_of(unit) + "=0x" + bits->hex());
        }
      }
    }
  }
  return lines;
}

namespace {

const HostNumber& tuning_at(const std::vector<HostNumber>& values, int index) {
  if (index < 0 || static_cast<std::size_t>(index) >= values.size()) {
    throw TuningIndexError("tuple index out of range");
  }
  return values[static_cast<std::size_t>(index)];
}

// Per-lane lines of a "40G" port, else the single line of sub-port `sub`.
void tuning_lines(std::vector<std::string>& lines, const std::vector<HostNumber>& values,
                  bool four_lanes, int sub, const std::string& name, const std::string& suffix,
                  int lane_width) {
  if (four_lanes) {
    for (int lane = 0; lane < 4; ++lane) {
      lines.push_back(name + "_lane" + std::to_string(lane) + "_" + suffix + "=0x" +
                      hexadecimal_of(tuning_at(values, lane), lane_width));
    }
  } else {
    lines.push_back(name + "_" + suffix + "=0x" + hexadecimal_of(tuning_at(values, sub), 4));
  }
}

}  // namespace

std::vector<std::string> emphasis_lines(const std::vector<EmphasisPort>& ports) {
  FirstSeenMap<HostNumber, std::int64_t> next_index;
  std::vector<std::string> lines;
  for (const EmphasisPort& port : ports) {
    for (int sub = 0; sub < port.logical_ports; ++sub) {
      std::int64_t& index = next_index.at_or(port.unit, 1);
      const bool any = port.pre_emphasis || port.drv_current || port.pre_drv_current;
      const std::string suffix = any ? decimal(index) + "." + decimal_of(port.unit) : "";
      if (port.pre_emphasis) {
        tuning_lines(lines, *port.pre_emphasis, port.four_lanes, sub, "serdes_preemphasis", suffix, 4);
      }
      if (port.drv_current) {
        tuning_lines(lines, *port.drv_current, port.four_lanes, sub, "serdes_driver_current",
                     suffix, 0);
      }
      if (port.pre_drv_current) {
        tuning_lines(lines, *port.pre_drv_current, port.four_lanes, sub,
                     "serdes_pre_driver_current", suffix, 0);
      }
      ++index;
    }
  }
  return lines;
}

std::vector<std::string> phy_table_rows(const std::vector<PhyTablePort>& ports) {
  std::string linux_name = "None", sdk_name = "None";
  std::vector<std::string> rows;
  for (const PhyTablePort& port : ports) {
    for (std::size_t phy = 0; phy < port.phy_addrs.size(); ++phy) {
      if (phy < port.sdk_intfs.size()) {
        sdk_name = port.sdk_intfs[phy];
        linux_name = port.linux_port_names[phy];
      }
      rows.push_back("0x" + hexadecimal_of(port.phy_addrs[phy]) + "\t" + linux_name + "\t" +
                     sdk_name + "\t" + port.mode);
    }
  }
  return rows;
}

}  // namespace bringup
