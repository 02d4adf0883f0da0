// What the generator's operations share: reading the configuration's
// ports and the platform's switch and chip, turning host values into the
// plain values the core renders, and the core's texts back into host text.
#pragma once

#include <pybind11/pybind11.h>

#include <cstdint>
#include <string>
#include <vector>

#include "bringup/binding.hpp"
#include "bringup/core/host_number.hpp"
#include "bringup/core/port_bitmap.hpp"

namespace bringup {

// `self.platform.switch` and `self.platform.switch.chip`, read at each use.
py::object switch_of(py::handle self);
py::object chip_of_config(py::handle self);

// `self.platform.name`, as the generator's refusals name the platform.
py::object platform_name(py::handle self);

// Refuses a layout: the host's RuntimeError of `format % (platform name,
// values...)`, the format starting "platform: %s: ". Always empty.
template <typename... Values>
py::object refuse_layout(py::handle self, const char* format, const Values&... values) {
  SW_LET(platform, platform_name(self));
  return common::fail_percent(PyExc_RuntimeError, format, platform, values...);
}

// `value is True`, as the chip and gang flags are tested.
inline bool is_true(py::handle value) { return value.ptr() == Py_True; }

// `getattr(obj, name, False)` tested for truth: 1, 0 or -1.
int flag_set(py::handle obj, PyObject* name);

// The configured ports as a new list (`list(self.ports)`).
py::object ports_of(py::handle self);

// `port.num_logical_ports` as a count; false with the error set.
bool logical_port_count(py::handle port, long& count);

// `len(self.units)` as a host int.
py::object unit_count(py::handle self);

// Whether the switch has several units (`len(self.units) > 1`): 1, 0 or -1.
int several_units(py::handle self);

// The SDK logical port number of `sub` of a configured port as the keys by
// number alone write it: "%d", followed by "." and the port's unit where
// the switch has `several` units, as each unit numbers its ports alike.
py::object logical_port_key(py::handle port, py::handle sub, int several);

// A value for an integer placeholder: an int (a bool counts), a float for
// "%d"/"%u"/"%i" (truncated), or None (refused by the placeholder alone).
// Anything else is the host's TypeError; false with the error set.
bool host_number(py::handle value, char placeholder, HostNumber& out);

// `str(value)` as UTF-8 (lone surrogates kept); false with the error set.
bool text_form(py::handle value, std::string& out);

// A non-negative host int as a bitmap; false with the error set.
bool host_bitmap(py::handle value, PortBitmap& out);

// Core text back to host text.
py::object host_text(const std::string& utf8);

// Runs a core renderer, turning its errors into the host's.
template <typename Render>
py::object rendered(Render&& render);

// "\n".join(lines) for a list of host texts.
py::object joined(py::handle lines);

// Appends the line `format % values` (the host's %); -1 with the error set.
template <typename... Values>
int append_line(py::handle lines, const char* format, const Values&... values) {
  py::object line = common::percent_text(format, values...);
  if (!line) return -1;
  return PyList_Append(lines.ptr(), line.ptr());
}

// Appends host text made from UTF-8; false with the error set.
bool append_text(py::handle list, const std::string& utf8);

}  // namespace bringup

#include "bringup/sdkconfig/generator_rendered.hpp"
