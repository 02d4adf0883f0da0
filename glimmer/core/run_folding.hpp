// Folding a sequence into runs of equal consecutive entries, each run
// compared with its first entry, the way the LED call map becomes a run list.
#pragma once

#include <cstddef>
#include <vector>

namespace glimmer {

struct Run {
  std::size_t first = 0;  // index of the run's first entry
  std::size_t count = 0;  // number of entries in the run (at least 1)
};

// `equal(a, b)` is called with the run's first entry on the left.
template <typename Entry, typename Equal>
std::vector<Run> fold_runs(const std::vector<Entry>& entries, Equal&& equal) {
  std::vector<Run> runs;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    if (!runs.empty() && equal(entries[runs.back().first], entries[i])) {
      ++runs.back().count;
    } else {
      runs.push_back({i, 1});
    }
  }
  return runs;
}

}  // namespace glimmer
