#include "asicmodel/core/port_naming.hpp"

#include <cstring>
#include <string>

#include "asicmodel/core/names.hpp"
#include "common/bitmap.hpp"
#include "common/host_calls.hpp"
#include "common/strict_int_core.hpp"
#include "common/host_values.hpp"
#include "common/strict_int.hpp"

namespace asicmodel {

namespace {

// The lane that names logical port `sub`: a port split in two uses the
// first lane of each lane pair, every other count its own lane.
py::object first_lane_name(py::handle self, py::handle mode, py::handle sub) {
  static const py::handle two = common::forever(py::int_(2));
  SW_LET(logical_ports, common::call_method(self, names.num_logical_ports, mode));
  SW_LET(split_in_two, common::equal(logical_ports, two));
  py::object lane = common::borrow(sub.ptr());
  if (split_in_two) {
    lane = common::steal(PyNumber_Multiply(sub.ptr(), two.ptr()));
    SW_CHECK(lane);
  }
  SW_LET(hw_ports, common::get(self, names.hw_ports));
  return common::item(hw_ports, lane);
}

py::object lane_pbmp_position(py::handle self, py::handle sub) {
  SW_LET(pbmp_map, common::get(self, names.pbmp_map));
  SW_LET(hw_ports, common::get(self, names.hw_ports));
  SW_LET(lane, common::item(hw_ports, sub));
  return common::item(pbmp_map, lane);
}

}  // namespace

py::object interface_number(py::handle name) {
  // An exact text is cut without a slice object; anything else slices as
  // the host's `name[2:]` does.
  PyObject* raw = name.ptr();
  std::string_view characters;
  if (common::exact_ascii(name, characters) && characters.size() > 2) {
    // ASCII digits after the prefix parse in place; anything else takes
    // the full path below for its answer or its error.
    auto parsed = common::parse_decimal(characters.substr(2));
    if (parsed.value) return common::steal(PyLong_FromLongLong(*parsed.value));
  }
  SW_LET(digits, common::steal(PyUnicode_CheckExact(raw)
                                   ? PyUnicode_Substring(raw, 2, PY_SSIZE_T_MAX)
                                   : PySequence_GetSlice(raw, 2, PY_SSIZE_T_MAX)));
  return common::int_of_text(digits);
}

py::object hw_intf_prefix(py::handle self, py::handle, py::handle sub) {
  SW_LET(hw_ports, common::get(self, names.hw_ports));
  SW_LET(lane, common::item(hw_ports, sub));
  return common::steal(PySequence_GetSlice(lane.ptr(), 0, 2));
}

py::object hw_intf_num(py::handle self, py::handle mode, py::handle sub) {
  SW_LET(lane, first_lane_name(self, mode, sub));
  return interface_number(lane);
}

py::object hw_intf_num_portmap(py::handle self, py::handle mode, py::handle sub) {
  return common::call_method(self, names.hw_intf_num, mode, sub);
}

py::object base_hw_intf_num(py::handle self, py::handle mode, py::handle sub) {
  static const py::handle two = common::forever(py::int_(2));
  static const py::handle host_min = common::forever(common::builtin("min"));
  SW_LET(logical_ports, common::call_method(self, names.num_logical_ports, mode));
  SW_LET(hw_ports, common::get(self, names.hw_ports));
  SW_LET(lanes, PyObject_Size(hw_ports.ptr()));
  // No count (None) ranks below every number, so it takes the scan too.
  int more_lanes = 1;
  if (!logical_ports.is_none()) {
    SW_LET(lane_count, common::steal(PyLong_FromSsize_t(lanes)));
    more_lanes = common::compare(lane_count, logical_ports, Py_GT);
    SW_CHECK(more_lanes);
  }
  if (!more_lanes) return common::call_method(self, names.hw_intf_num, mode, sub);
  // In a split in two the interface number strides over lane pairs; only
  // indexes whose lane exists are asked, so the scan never reads past the
  // last lane and still finds the port's lowest number.
  // The host's min(): a port with no lane at all has no lowest number and
  // fails as min() of nothing does.
  SW_LET(strided, common::equal(logical_ports, two));
  SW_LET(numbers, common::steal(PyList_New(0)));
  for (Py_ssize_t x = 0; x < lanes; ++x) {
    if (strided && 2 * x >= lanes) break;
    SW_LET(index, common::steal(PyLong_FromSsize_t(x)));
    SW_LET(number, common::call_method(self, names.hw_intf_num, mode, index));
    SW_CHECK(PyList_Append(numbers.ptr(), number.ptr()));
  }
  return common::call(host_min, numbers);
}

py::object hw_intf(py::handle self, py::handle mode, py::handle sub) {
  SW_LET(prefix, common::call_method(self, names.hw_intf_prefix, mode, sub));
  SW_LET(number, common::call_method(self, names.hw_intf_num, mode, sub));
  std::string_view text;
  if (common::exact_ascii(prefix, text)) {
    if (py::object joined = common::ascii_text_and_int(text, number)) return joined;
    if (PyErr_Occurred()) return {};
  }
  static const py::handle format = common::forever(py::str("%s%u"));
  return common::percent_text(format, prefix, number);
}

py::object hw_pbmp(py::handle self, py::handle, py::handle sub) {
  SW_LET(position, lane_pbmp_position(self, sub));
  return common::bit_at(position);
}

py::object hw_port_num(py::handle self, py::handle, py::handle sub) {
  return lane_pbmp_position(self, sub);
}

py::object led_port_num(py::handle self, py::handle, py::handle sub) {
  return lane_pbmp_position(self, sub);
}

py::object logical_port_num(py::handle, py::handle, py::handle) {
  return common::fail_none(PyExc_NotImplementedError);
}

py::dict numbered_pbmp_map(const py::list& names) {
  py::dict map;
  long position = 1;
  for (py::handle name : names) map[name] = py::int_(position++);
  return map;
}

py::dict prefixed_pbmp_map(const char* prefix, int count) {
  py::list names;
  for (int n = 0; n < count; ++n) names.append(py::str(std::string(prefix) + std::to_string(n)));
  return numbered_pbmp_map(names);
}

}  // namespace asicmodel
