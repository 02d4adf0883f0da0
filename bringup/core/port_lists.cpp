#include "bringup/core/port_lists.hpp"

#include <algorithm>
#include <utility>

#include "bringup/core/number_text.hpp"
#include "common/strict_int_core.hpp"

namespace bringup {

namespace {

// Length in bytes of the first `count` characters of UTF-8 text.
std::size_t leading_characters(const std::string& text, int count) {
  std::size_t at = 0;
  for (int seen = 0; seen < count && at < text.size(); ++seen) {
    ++at;
    while (at < text.size() && (static_cast<unsigned char>(text[at]) & 0xc0) == 0x80) ++at;
  }
  return at;
}

struct NamedPort {
  std::string key;
  std::string prefix;
  std::int64_t number;
  const std::string* name;
};

NamedPort named(const std::string& name) {
  const std::size_t split = leading_characters(name, 2);
  const std::string rest = name.substr(split);
  const common::IntParseResult parsed = common::parse_decimal(rest);
  if (!parsed.value) throw PortNumberError(rest);
  std::string prefix = name.substr(0, split);
  return {prefix + decimal(*parsed.value, 3), prefix, *parsed.value, &name};
}

using PortList = std::vector<std::size_t>;

template <typename Key>
void add_to(std::vector<std::pair<Key, PortList>>& lists, const Key& key, std::size_t port) {
  auto it = std::find_if(lists.begin(), lists.end(), [&](const auto& e) { return e.first == key; });
  if (it == lists.end()) {
    lists.emplace_back(key, PortList{});
    it = lists.end() - 1;
  }
  it->second.push_back(port);
}

}  // namespace

std::string compress_portlist(const std::vector<std::string>& names) {
  std::vector<NamedPort> ports;
  ports.reserve(names.size());
  for (const std::string& name : names) ports.push_back(named(name));
  std::stable_sort(ports.begin(), ports.end(),
                   [](const NamedPort& a, const NamedPort& b) { return a.key < b.key; });
  std::vector<std::string> pieces;
  for (std::size_t i = 0; i < ports.size();) {
    std::size_t j = i + 1;
    // Each number one more than the one before (written so that no sum
    // leaves 64 bits, the extreme numbers included).
    while (j < ports.size() && ports[j].prefix == ports[i].prefix &&
           ports[j - 1].number != INT64_MAX && ports[j].number == ports[j - 1].number + 1) {
      ++j;
    }
    if (j - i >= 3) {
      pieces.push_back(*ports[i].name + "-" + *ports[j - 1].name);
    } else {
      for (std::size_t k = i; k < j; ++k) pieces.push_back(*ports[k].name);
    }
    i = j;
  }
  std::string text;
  for (std::size_t i = 0; i < pieces.size(); ++i) {
    if (i) text += ',';
    text += pieces[i];
  }
  return text;
}

std::optional<std::string> port_script(const std::vector<ScriptPort>& ports, const CompressList& compress) {
  PortList all, loopback;
  std::vector<std::pair<std::string, PortList>> speeds, groups;
  std::vector<std::pair<std::string, double>> speed_order;
  for (std::size_t i = 0; i < ports.size(); ++i) {
    const ScriptPort& port = ports[i];
    all.push_back(i);
    add_to(speeds, port.speed, i);
    if (speeds.size() > speed_order.size()) speed_order.emplace_back(port.speed, port.speed_order);
    if (port.loopback) loopback.push_back(i);
    if (port.sdk_group) add_to(groups, *port.sdk_group, i);
  }
  auto order_of = [&](const std::string& speed) {
    for (const auto& [text, order] : speed_order) {
      if (text == speed) return order;
    }
    return 0.0;
  };
  std::stable_sort(speeds.begin(), speeds.end(), [&](const auto& a, const auto& b) {
    return order_of(a.first) < order_of(b.first);
  });
  std::string text;
  auto line = [&](const std::string& head, const PortList& list) {
    std::optional<std::string> compressed = compress(list);
    if (compressed) text += head + *compressed;
    return compressed.has_value();
  };
  if (!line("setenv allports ", all)) return std::nullopt;
  for (const auto& [speed, list] : speeds) {
    if (!line("\nsetenv " + speed + "Gports ", list)) return std::nullopt;
  }
  if (!loopback.empty()) {
    if (!line("\nsetenv lbports ", loopback)) return std::nullopt;
    text += "\nport $lbports lb=mac";
  }
  for (const auto& [group, list] : groups) {
    if (!line("\nsetenv sdk_group_" + group + " ", list)) return std::nullopt;
  }
  return text;
}

}  // namespace bringup
