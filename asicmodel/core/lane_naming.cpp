#include "asicmodel/core/lane_naming.hpp"

#include <string_view>

#include "asicmodel/core/family_tables.hpp"
#include "asicmodel/core/names.hpp"
#include "asicmodel/core/port_naming.hpp"
#include "common/host_calls.hpp"

namespace asicmodel {

py::object serdes_lane_names(const char* format, py::handle serdes) {
  // "<prefix>%u" of a plain int is the prefix and its digits: built in
  // place, the host's format for anything else.
  const std::string_view pattern(format);
  const bool plain_prefix = pattern.size() >= 2 && pattern.substr(pattern.size() - 2) == "%u" &&
                            pattern.substr(0, pattern.size() - 2).find('%') == std::string_view::npos;
  const std::string_view prefix = pattern.substr(0, plain_prefix ? pattern.size() - 2 : 0);
  SW_LET(text_format, common::steal(PyUnicode_FromString(format)));
  SW_LET(names_list, common::steal(PyList_New(0)));
  SW_LET(iterator, common::steal(PyObject_GetIter(serdes.ptr())));
  while (PyObject* number = PyIter_Next(iterator.ptr())) {
    py::object held = common::steal(number);
    py::object name = plain_prefix ? common::ascii_text_and_int(prefix, held) : py::object();
    if (!name) {
      if (PyErr_Occurred()) return {};
      name = common::steal(PyUnicode_Format(text_format.ptr(), held.ptr()));
      SW_CHECK(name);
    }
    SW_CHECK(PyList_Append(names_list.ptr(), name.ptr()));
  }
  if (PyErr_Occurred()) return {};
  return common::steal(PyList_AsTuple(names_list.ptr()));
}

py::object set_own_serdes_type(py::handle self, int speed, const char* serdes_type) {
  SW_LET(types, common::steal(PyDict_New()));
  SW_LET(key, common::integer(speed));
  SW_LET(value, common::steal(PyUnicode_FromString(serdes_type)));
  SW_CHECK(PyDict_SetItem(types.ptr(), key.ptr(), value.ptr()));
  SW_CHECK(common::set(self, names._serdes_intf_map, types));
  return common::none();
}

py::object lane_hw_port_num(py::handle self, py::handle, py::handle sub) {
  SW_LET(hw_ports, common::get(self, names.hw_ports));
  SW_LET(lane, common::item(hw_ports, sub));
  return interface_number(lane);
}

py::object ce_in_100g_intf_prefix(py::handle, py::handle mode, py::handle) {
  static const py::handle ce = common::forever(py::str("ce")), xe = common::forever(py::str("xe"));
  SW_LET(hundred, mode_is(mode, "100G"));
  if (hundred) return common::ref(ce);
  SW_LET(hundred_gang, mode_is(mode, "100G/4"));
  return common::ref(hundred_gang ? ce : xe);
}

py::object port_base_logical_port_num(py::handle, py::handle, py::handle sub,
                                      py::handle port_base) {
  return common::steal(PyNumber_Add(port_base.ptr(), sub.ptr()));
}

}  // namespace asicmodel
