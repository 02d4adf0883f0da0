// Reading LED calls and runs the host's way, shared by the operations that
// walk a run list: a pad value is a call equal to 0 or to 1 (0 tested
// first), told apart without the host's comparisons where the answer is
// certain (plain ints, None, tuples and texts).
#pragma once

#include <pybind11/pybind11.h>

#include <cstdint>
#include <string_view>

namespace glimmer {

namespace py = pybind11;

// 0 or 1 for a pad value, -1 for any other call, -2 with the error set.
int pad_value_of(py::handle call);

// Whether `value` equals 0: 1/0, -1 with the error set.
int equals_zero(py::handle value);

// A run (call, count) unpacked; -1 with the host's unpacking error set.
int unpack_run(py::handle run, py::object& call, py::object& count);

// `value` as a plain 64-bit integer when it is a plain int that fits.
bool plain_int(py::handle value, std::int64_t& out);

// A host text from a line the core wrote (ASCII); null with the error set.
py::object line_text(std::string_view line);

}  // namespace glimmer
