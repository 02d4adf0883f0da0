// Unpacking, list appends and dict merges with the host's own semantics
// and errors, without C++ throws (see host_calls.hpp): each returns -1 with
// the host's error set on failure.
#pragma once

#include <pybind11/pybind11.h>

#include <cstddef>

namespace common {

namespace py = pybind11;

// `out[0], ..., out[count - 1] = value`, with the host's TypeError for a
// value that is not iterable and its ValueError texts for a wrong count.
int unpack(py::handle value, py::object* out, std::size_t count);

// `sequence.append(item)`: the list's own append for a plain list, the
// object's `append` method for anything else.
int append(py::handle sequence, py::handle item);

// `target.update(other)` for a plain dict `target`: a mapping (anything
// with `keys`) is merged by its keys, anything else taken as key/value pairs.
int update_dict(py::handle target, py::handle other);

}  // namespace common
