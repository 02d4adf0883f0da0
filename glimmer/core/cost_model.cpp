#include "glimmer/core/cost_model.hpp"

#include <stdexcept>

namespace glimmer {

namespace {

std::int64_t checked_add(std::int64_t a, std::int64_t b) {
  std::int64_t sum = 0;
  if (__builtin_add_overflow(a, b, &sum)) throw std::overflow_error("LED code size too large");
  return sum;
}

std::int64_t checked_multiply(std::int64_t a, std::int64_t b) {
  std::int64_t product = 0;
  if (__builtin_mul_overflow(a, b, &product)) {
    throw std::overflow_error("LED code size too large");
  }
  return product;
}

bool is_pad(const PadRun& run) { return run.pad == 0 || run.pad == 1; }

}  // namespace

SizePair unrolled_size(const std::vector<PadRun>& runs, const CostConstants& constants) {
  SizePair size{0, 0};
  for (const PadRun& run : runs) {
    if (!is_pad(run)) continue;
    size[run.pad] = checked_add(size[run.pad], checked_multiply(run.count, constants.pad_call_size));
  }
  return size;
}

SizePair looped_size(const std::vector<PadRun>& runs, const CostConstants& constants) {
  SizePair size{0, 0};
  SizePair loop_code_cost{0, 0};
  for (const PadRun& run : runs) {
    if (!is_pad(run)) continue;
    if (run.count <= constants.loop_insert_cost) {
      size[run.pad] =
          checked_add(size[run.pad], checked_multiply(run.count, constants.pad_call_size));
    } else {
      size[run.pad] = checked_add(size[run.pad], constants.pad_n_call_size);
      // The counted routine is in the program once, however many runs use it.
      loop_code_cost[run.pad] = constants.pad_n_code_size;
    }
  }
  for (int value : {0, 1}) size[value] = checked_add(size[value], loop_code_cost[value]);
  return size;
}

}  // namespace glimmer
