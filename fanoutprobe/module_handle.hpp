// The fanoutprobe module object, kept from start-up so that operations look
// up its globals (the outside modules, the record classes) at call time, as
// a Python global would be, without importing anything per call.
#pragma once

#include <pybind11/pybind11.h>

namespace fanoutprobe {

inline pybind11::handle& module_handle() {
  static pybind11::handle module;
  return module;
}

}  // namespace fanoutprobe
