#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <stdexcept>
#include <vector>

#include "glimmer/core/cost_model.hpp"
#include "glimmer/core/run_folding.hpp"

namespace {

using glimmer::CostConstants;
using glimmer::PadRun;
using glimmer::SizePair;

constexpr int kPort = PadRun::kNotPad;

struct Case {
  std::vector<PadRun> runs;
  SizePair unrolled;
  SizePair looped;
};

TEST(CostModel, EstimatesPerPadValue) {
  const Case cases[] = {
      {{}, {0, 0}, {0, 0}},
      {{{kPort, 5}}, {0, 0}, {0, 0}},
      {{{1, 8}, {0, 3}, {kPort, 2}, {1, 2}, {kPort, 4}, {0, 1}}, {8, 20}, {16, 18}},
      {{{1, 2}}, {0, 4}, {0, 4}},
      {{{1, 3}}, {0, 6}, {0, 14}},
      {{{0, 5}, {kPort, 1}, {0, 5}}, {20, 0}, {18, 0}},
      {{{0, 9}, {0, 9}, {0, 9}}, {54, 0}, {22, 0}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(glimmer::unrolled_size(c.runs, CostConstants()), c.unrolled);
    EXPECT_EQ(glimmer::looped_size(c.runs, CostConstants()), c.looped);
  }
}

TEST(CostModel, ConstantsAreTheCallersOwn) {
  CostConstants constants{3, 1, 7, 0};
  std::vector<PadRun> runs = {{1, 1}, {0, 4}};
  EXPECT_EQ(glimmer::unrolled_size(runs, constants), (SizePair{12, 3}));
  EXPECT_EQ(glimmer::looped_size(runs, constants), (SizePair{8, 8}));
}

TEST(CostModel, OverflowIsReported) {
  std::vector<PadRun> runs = {{1, std::numeric_limits<std::int64_t>::max()}};
  EXPECT_THROW(glimmer::unrolled_size(runs, CostConstants()), std::overflow_error);
}

TEST(RunFolding, ComparesEachEntryWithTheRunsFirst) {
  std::vector<int> entries = {1, 1, 2, 2, 2, 1, 3};
  auto runs = glimmer::fold_runs(entries, [](int a, int b) { return a == b; });
  ASSERT_EQ(runs.size(), 4u);
  EXPECT_EQ(runs[1].first, 2u);
  EXPECT_EQ(runs[1].count, 3u);
  EXPECT_EQ(runs[3].first, 6u);

  // "Close enough" is not transitive: the run's first entry decides.
  std::vector<int> drifting = {0, 1, 2, 3};
  auto close = glimmer::fold_runs(drifting, [](int a, int b) { return b - a <= 1; });
  ASSERT_EQ(close.size(), 2u);
  EXPECT_EQ(close[0].count, 2u);
  EXPECT_TRUE(glimmer::fold_runs(std::vector<int>{}, [](int, int) { return true; }).empty());
}

}  // namespace
