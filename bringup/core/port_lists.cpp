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

template <typename Key>
void add_to(std::vector<std::pair<Key, std::vector<std::string>>>& lists, const Key& key,
            const std::string& name) {
  auto it = std::find_if(lists.begin(), lists.end(), [&](const auto& e) { return e.first == key; });
  if (it == lists.end()) {
    lists.emplace_back(key, std::vector<std::string>{});
    it = lists.end() - 1;
  }
  it->second.push_back(name);
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

std::string port_script(const std::vector<ScriptPort>& ports) {
  std::vector<std::string> all, loopback;
  std::vector<std::pair<std::string, std::vector<std::string>>> speeds, groups;
  std::vector<std::pair<std::string, double>> speed_order;
  for (const ScriptPort& port : ports) {
    all.push_back(port.sdk_intf);
    add_to(speeds, port.speed, port.sdk_intf);
    if (speeds.size() > speed_order.size()) speed_order.emplace_back(port.speed, port.speed_order);
    if (port.loopback) loopback.push_back(port.sdk_intf);
    if (port.sdk_group) add_to(groups, *port.sdk_group, port.sdk_intf);
  }
  std::string text = "setenv allports " + compress_portlist(all);
  auto order_of = [&](const std::string& speed) {
    for (const auto& [text, order] : speed_order) {
      if (text == speed) return order;
    }
    return 0.0;
  };
  std::stable_sort(speeds.begin(), speeds.end(), [&](const auto& a, const auto& b) {
    return order_of(a.first) < order_of(b.first);
  });
  for (const auto& [speed, names] : speeds) {
    text += "\nsetenv " + speed + "Gports " + compress_portlist(names);
  }
  if (!loopback.empty()) {
    text += "\nsetenv lbports " + compress_portlist(loopback) + "\nport $lbports lb=mac";
  }
  for (const auto& [group, names] : groups) {
    text += "\nsetenv sdk_group_" + group + " " + compress_portlist(names);
  }
  return text;
}

}  // namespace bringup
