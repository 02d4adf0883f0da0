#include "asicmodel/tomahawk_maverick/mode_tables.hpp"

namespace asicmodel::family {

py::dict speed_map(std::initializer_list<ModeSpeed> entries) {
  py::dict map;
  for (const ModeSpeed& entry : entries) map[py::str(entry.mode)] = py::int_(entry.gigabits);
  return map;
}

py::list keys_of(const py::dict& speeds) {
  py::list keys;
  for (auto entry : speeds) keys.append(entry.first);
  return keys;
}

py::tuple texts(std::initializer_list<const char*> items) {
  py::tuple tuple(items.size());
  std::size_t i = 0;
  for (const char* item : items) tuple[i++] = py::str(item);
  return tuple;
}

py::tuple joined(const py::tuple& first, const py::tuple& second) {
  PyObject* result = PySequence_Concat(first.ptr(), second.ptr());
  if (!result) throw py::error_already_set();
  return py::reinterpret_steal<py::tuple>(result);
}

}  // namespace asicmodel::family
