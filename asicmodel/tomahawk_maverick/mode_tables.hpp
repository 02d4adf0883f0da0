// Building the class tables of the speed port classes: the modes read from
// a speed map and joined mode lists, each a new Python object for its
// class (speed maps and text tuples come from asicmodel/core).
#pragma once

#include <pybind11/pybind11.h>

namespace asicmodel::family {

namespace py = pybind11;

// The `modes` of a class whose modes are its speed map's keys: those keys,
// the map's own text objects, as a list in the map's order.
py::list keys_of(const py::dict& speeds);

// `first` followed by `second`, as a tuple.
py::tuple joined(const py::tuple& first, const py::tuple& second);

}  // namespace asicmodel::family
