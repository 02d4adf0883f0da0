// Host values made once and kept for the life of the process: constants on
// operation paths are created at first use and never released, because a
// static released after the interpreter has finalised would touch a dead
// host.
#pragma once

#include <pybind11/pybind11.h>

#include <utility>

namespace fanoutprobe {

template <typename T>
const pybind11::object& lasting(T&& value) {
  return *new pybind11::object(std::forward<T>(value));
}

}  // namespace fanoutprobe
