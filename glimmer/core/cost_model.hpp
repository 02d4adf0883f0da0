// The pad-loop cost model: for pad value 0 and pad value 1 separately, the
// code size of all pad calls of one controller in the unrolled shape (one
// single-bit call per LED) and in the looped shape (a count load and one
// counted call per run longer than the threshold, plus the counted routine
// itself once).
#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace glimmer {

// One run of the run list as the model sees it: its pad value (0 or 1), or
// kNotPad for a run of None or of port calls, which costs nothing here.
struct PadRun {
  static constexpr int kNotPad = -1;
  int pad = kNotPad;
  std::int64_t count = 0;
};

// The controller's size constants, in code-size units.
struct CostConstants {
  std::int64_t pad_call_size = 2;    // one call of a single-bit pad routine
  std::int64_t pad_n_call_size = 4;  // one count load and counted call
  std::int64_t pad_n_code_size = 10; // one counted pad routine
  std::int64_t loop_insert_cost = 2; // runs up to this long stay unrolled
};

using SizePair = std::array<std::int64_t, 2>;  // indexed by pad value

// Both throw std::overflow_error when a size leaves the 64-bit range.
SizePair unrolled_size(const std::vector<PadRun>& runs, const CostConstants& constants);
SizePair looped_size(const std::vector<PadRun>& runs, const CostConstants& constants);

}  // namespace glimmer
