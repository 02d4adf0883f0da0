// Sending one command through the Asic's shell object `bcm`.
#pragma once

#include <pybind11/pybind11.h>

#include "fanoutprobe/asic_tables/lasting.hpp"

namespace fanoutprobe {

namespace py = pybind11;

// `self.bcm.run(command)`. The shell's time-out, an OSError, becomes a
// RuntimeError carrying `timeout_message` (the OSError kept as its
// context, as a raise inside an except clause would); any other error
// passes unchanged.
py::object run_shell(py::handle self, py::handle command, py::handle timeout_message);

// A command text made once: commands on every path are the same objects.
#define FANOUTPROBE_TEXT(variable, text) \
  static const py::object& variable = ::fanoutprobe::lasting(py::str(text))

}  // namespace fanoutprobe
