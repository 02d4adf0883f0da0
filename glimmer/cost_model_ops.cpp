// The pad-loop cost model's three operations: the size estimates read the
// controller's constants at each call and leave the arithmetic to the core.
#include <pybind11/pybind11.h>

#include <stdexcept>
#include <vector>

#include "common/host_calls.hpp"
#include "glimmer/core/cost_model.hpp"
#include "glimmer/led_calls.hpp"
#include "glimmer/names.hpp"
#include "glimmer/operations.hpp"

namespace glimmer {

namespace {

// An integer the core can compute with; -1 with TypeError (naming `what`)
// or OverflowError set otherwise.
int int64_of(py::handle value, const char* what, std::int64_t& out) {
  if (!PyLong_Check(value.ptr())) {
    PyErr_Format(PyExc_TypeError, "%s must be an integer, not %.200s", what,
                 Py_TYPE(value.ptr())->tp_name);
    return -1;
  }
  long long number = PyLong_AsLongLong(value.ptr());
  if (number == -1 && PyErr_Occurred()) return -1;
  out = number;
  return 0;
}

int constant(py::handle self, PyObject* name, const char* what, std::int64_t& out) {
  py::object value = common::get(self, name);
  if (!value) return -1;
  return int64_of(value, what, out);
}

// The pad runs with their value and length; every other run (None, port
// calls) costs nothing and is left out.
int pad_runs(py::handle calls, std::vector<PadRun>& runs) {
  return for_each_run(calls, [&runs](py::handle, py::handle count, int pad) {
    if (pad < 0) return true;
    PadRun pad_run;
    pad_run.pad = pad;
    if (int64_of(count, "the length of a pad run", pad_run.count) < 0) return false;
    runs.push_back(pad_run);
    return true;
  });
}

template <typename Estimate>
py::object size_pair(Estimate&& compute) {
  SizePair size{};
  try {
    size = compute();
  } catch (const std::overflow_error& error) {
    return common::fail(PyExc_OverflowError, error.what());
  }
  SW_LET(zero, common::steal(PyLong_FromLongLong(size[0])));
  SW_LET(one, common::steal(PyLong_FromLongLong(size[1])));
  SW_LET(pair, common::steal(PyList_New(2)));
  PyList_SET_ITEM(pair.ptr(), 0, zero.release().ptr());
  PyList_SET_ITEM(pair.ptr(), 1, one.release().ptr());
  return pair;
}

}  // namespace

py::object calc_unrolled_instructions(py::handle self, py::handle calls) {
  CostConstants constants;
  SW_CHECK(constant(self, names.pad_call_size, "pad_call_size", constants.pad_call_size));
  std::vector<PadRun> runs;
  SW_CHECK(pad_runs(calls, runs));
  return size_pair([&] { return unrolled_size(runs, constants); });
}

py::object calc_looped_instructions(py::handle self, py::handle calls) {
  CostConstants constants;
  SW_CHECK(constant(self, names.pad_call_size, "pad_call_size", constants.pad_call_size));
  SW_CHECK(constant(self, names.pad_n_call_size, "pad_n_call_size", constants.pad_n_call_size));
  SW_CHECK(constant(self, names.pad_n_code_size, "pad_n_code_size", constants.pad_n_code_size));
  SW_CHECK(constant(self, names.loop_insert_cost, "loop_insert_cost", constants.loop_insert_cost));
  std::vector<PadRun> runs;
  SW_CHECK(pad_runs(calls, runs));
  return size_pair([&] { return looped_size(runs, constants); });
}

// Looping pays for a pad value only when strictly smaller: a tie keeps the
// unrolled shape. The looped estimate is asked first.
py::object eval_looping(py::handle self, py::handle calls) {
  SW_LET(looped, common::call_method(self, names._calc_looped_instructions, calls));
  SW_LET(unrolled, common::call_method(self, names._calc_unrolled_instructions, calls));
  SW_LET(decision, common::steal(PyList_New(2)));
  for (Py_ssize_t value : {0, 1}) {
    SW_LET(looped_size, common::item_at(looped, value));
    SW_LET(unrolled_size, common::item_at(unrolled, value));
    SW_LET(smaller, PyObject_RichCompareBool(looped_size.ptr(), unrolled_size.ptr(), Py_LT));
    PyList_SET_ITEM(decision.ptr(), value, common::boolean(smaller).release().ptr());
  }
  return decision;
}

}  // namespace glimmer
