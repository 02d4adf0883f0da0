// Route keys "<vrf>, (<source>, <group>)": the parts split from a key,
// joined again, split back to the same parts.
#include <string>

#include "fanoutprobe/core/route_key.hpp"
#include "tests/fuzz/fuzz_check.hpp"

using namespace fanoutprobe;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view key = fuzz::text_of(data, size);
  std::optional<RouteKey> parts = split_route_key(key);
  if (!parts) return 0;
  for (std::string_view part : {parts->vrf, parts->sip, parts->dip}) {
    fuzz::require(!part.empty());
    fuzz::require_inside(part, key);
  }
  std::string joined = std::string(parts->vrf) + ", (" + std::string(parts->sip) + ", " +
                       std::string(parts->dip) + ")";
  std::optional<RouteKey> again = split_route_key(joined);
  fuzz::require(again && again->vrf == parts->vrf && again->sip == parts->sip &&
                again->dip == parts->dip);
  return 0;
}
