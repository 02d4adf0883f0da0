#include "fanoutprobe/core/route_key.hpp"

#include "fanoutprobe/core/text_scan.hpp"

namespace fanoutprobe {

namespace {

// A non-blank run from `pos` ending in ',' followed by one blank " ": the
// run without its comma, and `pos` moved past the blank.
std::optional<std::string_view> part_before_comma(std::string_view key, std::size_t& pos) {
  std::size_t end = word_end(key, pos);
  if (end < pos + 2 || key[end - 1] != ',' || end >= key.size() || key[end] != ' ')
    return std::nullopt;
  std::string_view part = key.substr(pos, end - 1 - pos);
  pos = end + 1;
  return part;
}

}  // namespace

std::optional<RouteKey> split_route_key(std::string_view key) {
  std::size_t pos = 0;
  std::optional<std::string_view> vrf = part_before_comma(key, pos);
  if (!vrf || pos >= key.size() || key[pos] != '(') return std::nullopt;
  ++pos;
  std::optional<std::string_view> sip = part_before_comma(key, pos);
  if (!sip) return std::nullopt;
  std::size_t end = word_end(key, pos);
  std::string_view run = key.substr(pos, end - pos);
  std::size_t close = run.rfind(')');
  if (close == std::string_view::npos || close == 0) return std::nullopt;
  return RouteKey{*vrf, *sip, run.substr(0, close)};
}

}  // namespace fanoutprobe
