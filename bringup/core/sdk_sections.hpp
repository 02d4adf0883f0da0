// Sections of the SDK configuration body rendered from plain values: the
// port bitmaps, the serdes emphasis lines and the PHY table. The binding
// reads the configured ports once into these records; every rule of the
// text lives here.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "bringup/core/host_number.hpp"
#include "bringup/core/port_bitmap.hpp"

namespace bringup {

// Lines joined by "\n", no line feed after the last.
std::string join_lines(const std::vector<std::string>& lines);

// One logical port's share of the bitmaps.
struct BitmapEntry {
  std::string prefix;  // SDK interface prefix, "ce" already folded to "xe"
  HostNumber unit;
  PortBitmap bits;
  bool oversub = false;
};

// "pbmp_xport_<prefix>.<unit>" per interface group that is not "hg",
// "pbmp_valid.<unit>" per unit (each starting from `base`), then the
// oversubscription lines: per unit on a mixed chip, else one
// "oversubscribe_mode=1". Groups and units in order of first appearance.
std::vector<std::string> bitmap_lines(const std::vector<BitmapEntry>& entries,
                                      const PortBitmap& base, bool mixed_oversub);

// One configured port's tuning values (absent: no lines of that kind).
struct EmphasisPort {
  HostNumber unit;
  bool four_lanes = false;  // mode "40G": one line per lane
  int logical_ports = 0;
  std::optional<std::vector<HostNumber>> pre_emphasis, drv_current, pre_drv_current;
};

// Thrown when a tuning list is shorter than the index read.
class TuningIndexError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The emphasis lines; each unit numbers its logical ports from 1.
std::vector<std::string> emphasis_lines(const std::vector<EmphasisPort>& ports);

// One configured port's PHYs for the PHY table.
struct PhyTablePort {
  std::string mode;
  std::vector<HostNumber> phy_addrs;          // one per PHY
  std::vector<std::string> sdk_intfs;         // one per PHY that has a sub-port
  std::vector<std::string> linux_port_names;  // likewise
};

// "0x<addr>\t<linux>\t<sdk>\t<mode>" per PHY; a PHY without a sub-port
// repeats the names of the row before it ("None" before any).
std::vector<std::string> phy_table_rows(const std::vector<PhyTablePort>& ports);

}  // namespace bringup
