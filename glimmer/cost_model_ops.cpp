// The pad-loop cost model's three operations: the size estimates read the
// controller's constants at each call and leave the arithmetic to the core.
#include <pybind11/pybind11.h>

#include <stdexcept>
#include <vector>

#include "common/host_errors.hpp"
#include "common/py_ops.hpp"
#include "glimmer/core/cost_model.hpp"
#include "common/host_values.hpp"
#include "glimmer/operations.hpp"

namespace glimmer {

namespace {

// The runs as the model sees them: pad runs with their value and length;
// every other run (None, port calls) only holds a place.
std::vector<PadRun> pad_runs(py::handle calls) {
  std::vector<PadRun> runs;
  for (py::handle run : py::iter(calls)) {
    auto [call, count] = common::unpack<2>(run);
    PadRun pad_run;
    if (common::py_equal(call, py::int_(0))) {
      pad_run.pad = 0;
    } else if (common::py_equal(call, py::int_(1))) {
      pad_run.pad = 1;
    }
    if (pad_run.pad != PadRun::kNotPad) pad_run.count = common::int64_of(count, "the length of a pad run");
    runs.push_back(pad_run);
  }
  return runs;
}

py::list size_pair(const SizePair& size) {
  py::list pair;
  pair.append(py::int_(size[0]));
  pair.append(py::int_(size[1]));
  return pair;
}

template <typename Estimate>
py::list estimate(Estimate&& compute) {
  try {
    return size_pair(compute());
  } catch (const std::overflow_error& error) {
    common::raise_error(PyExc_OverflowError, error.what());
  }
}

}  // namespace

py::object calc_unrolled_instructions(py::object self, py::object calls) {
  CostConstants constants;
  constants.pad_call_size = common::int64_of(self.attr("pad_call_size"), "pad_call_size");
  std::vector<PadRun> runs = pad_runs(calls);
  return estimate([&] { return unrolled_size(runs, constants); });
}

py::object calc_looped_instructions(py::object self, py::object calls) {
  CostConstants constants;
  constants.pad_call_size = common::int64_of(self.attr("pad_call_size"), "pad_call_size");
  constants.pad_n_call_size = common::int64_of(self.attr("pad_n_call_size"), "pad_n_call_size");
  constants.pad_n_code_size = common::int64_of(self.attr("pad_n_code_size"), "pad_n_code_size");
  constants.loop_insert_cost = common::int64_of(self.attr("loop_insert_cost"), "loop_insert_cost");
  std::vector<PadRun> runs = pad_runs(calls);
  return estimate([&] { return looped_size(runs, constants); });
}

// Looping pays for a pad value only when strictly smaller: a tie keeps the
// unrolled shape.
py::object eval_looping(py::object self, py::object calls) {
  py::object looped = self.attr("_calc_looped_instructions")(calls);
  py::object unrolled = self.attr("_calc_unrolled_instructions")(calls);
  py::list decision;
  for (int value : {0, 1}) {
    py::object smaller = looped[py::int_(value)] < unrolled[py::int_(value)]
                             ? common::py_bool(true)
                             : common::py_bool(false);
    decision.append(smaller);
  }
  return decision;
}

}  // namespace glimmer
