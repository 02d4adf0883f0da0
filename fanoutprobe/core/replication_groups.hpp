// Reader of "multicast show": the output is cut at every "Group", and each
// block read as a header (group id in hexadecimal, kind words) and member
// lines " port <name>, encap id <number>".
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "fanoutprobe/core/parse_failure.hpp"

namespace fanoutprobe {

// The text after each "Group", in output order; text before the first is dropped.
std::vector<std::string_view> split_group_blocks(std::string_view output);

struct GroupMember {
  std::string_view port;
  std::int64_t intf;  // the encap id; -1 marks an L2 member
};

struct GroupRead {
  bool record = false;  // false: no header, or an L2 or VXLAN group
  std::int64_t id = 0;
  std::vector<GroupMember> members;  // the member lines read before `failure`
  Failure failure;
};

GroupRead read_group_block(std::string_view block);

}  // namespace fanoutprobe
