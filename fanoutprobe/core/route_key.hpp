// Splitting a route key "<vrf>, (<source>, <group>)" back into its parts.
#pragma once

#include <optional>
#include <string_view>

namespace fanoutprobe {

struct RouteKey {
  std::string_view vrf, sip, dip;
};

// The key must begin with the form; text after the closing parenthesis is
// ignored. Each part is a run of non-blank characters: the VRF name and
// the source end at the comma before their blank, the group at the last
// ")" of its run. None when the key does not have the form.
std::optional<RouteKey> split_route_key(std::string_view key);

}  // namespace fanoutprobe
