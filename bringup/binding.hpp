// What the bringup operations share: the module object, module-level names
// read at call time, the host's int() for texts, and running a program.
#pragma once

#include <pybind11/pybind11.h>

#include "bringup/names.hpp"
#include "common/class_builder.hpp"
#include "common/host_calls.hpp"

namespace bringup {

namespace py = pybind11;
using common::ClassBuilder;

// The module object, held from start-up on (modules are never unloaded).
py::handle this_module();
void set_this_module(py::handle module);

// A name of the module namespace, read at each call as a global would be.
inline py::object global(PyObject* name) { return common::get(this_module(), name); }

// The host's int(value): ints unchanged, numbers truncated, decimal text
// by the strict rule (ASCII digits, sign, surrounding blanks) and of any
// size; ValueError in the host's words otherwise.
py::object to_int(py::handle value);

// Runs the program named by the first text of `words` (a list of texts)
// with the rest as its arguments, inheriting standard input, standard
// error and the environment; returns its standard output as text. A
// program that cannot start is the host's OSError; a non-zero exit
// subprocess.CalledProcessError with the command and the output.
py::object run_program(py::handle words);

// `raise cls(message)`.
py::object fail_with(py::handle cls, py::handle message);

// A class whose base is bound in the module under `base` (nullptr: none).
ClassBuilder define_class(py::module_& module, const char* name, const char* base,
                          const char* doc = nullptr);

}  // namespace bringup
