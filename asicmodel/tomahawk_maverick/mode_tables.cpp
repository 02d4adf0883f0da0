#include "asicmodel/tomahawk_maverick/mode_tables.hpp"

namespace asicmodel::family {

py::list keys_of(const py::dict& speeds) {
  py::list keys;
  for (auto entry : speeds) keys.append(entry.first);
  return keys;
}

py::tuple joined(const py::tuple& first, const py::tuple& second) {
  PyObject* result = PySequence_Concat(first.ptr(), second.ptr());
  if (!result) throw py::error_already_set();
  return py::reinterpret_steal<py::tuple>(result);
}

}  // namespace asicmodel::family
