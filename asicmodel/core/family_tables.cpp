#include "asicmodel/core/family_tables.hpp"

#include "common/py_ops.hpp"

namespace asicmodel {

bool mode_is(py::handle value, const char* text) { return common::py_equal(value, py::str(text)); }

py::tuple texts(std::initializer_list<const char*> items) {
  py::tuple tuple(items.size());
  std::size_t i = 0;
  for (const char* item : items) tuple[i++] = py::str(item);
  return tuple;
}

py::dict speed_map(std::initializer_list<std::pair<const char*, double>> entries) {
  py::dict map;
  for (const auto& [mode, speed] : entries) {
    bool whole = speed == static_cast<double>(static_cast<long>(speed));
    map[py::str(mode)] = whole ? py::object(py::int_(static_cast<long>(speed)))
                               : py::object(py::float_(speed));
  }
  return map;
}

}  // namespace asicmodel
