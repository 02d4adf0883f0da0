// The "multicast show" reader: blocks cut at every "Group", each a record,
// a skipped group or a failure; member names are views into the output.
#include "fanoutprobe/core/replication_groups.hpp"
#include "tests/fuzz/fuzz_check.hpp"

using namespace fanoutprobe;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view output = fuzz::text_of(data, size);
  for (std::string_view block : split_group_blocks(output)) {
    fuzz::require_inside(block, output);
    GroupRead group = read_group_block(block);
    if (!group.record) fuzz::require(group.members.empty() || group.failure);
    for (const GroupMember& member : group.members) {
      fuzz::require(!member.port.empty());
      fuzz::require_inside(member.port, block);
    }
  }
  return 0;
}
