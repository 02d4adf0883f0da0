// The LED port map and the data-RAM initialisation commands of the ID
// variant: one port number per run of port calls from the port map's base
// address, then the reload values of the three blink timers.
#include <pybind11/pybind11.h>

#include "common/host_errors.hpp"
#include "common/py_ops.hpp"
#include "common/host_values.hpp"
#include "glimmer/operations.hpp"

namespace glimmer {

namespace {

// PORT_MAP_ARRAY holds 32 entries; the ID flags and the blink timers follow.
constexpr int kPortMapCapacity = 32;

constexpr const char* kSetregCommand = "setreg {name}[0x{addr:x}] {val}";

py::str setreg(py::handle name, py::handle addr, py::handle val) {
  return py::str(kSetregCommand).format(py::arg("name") = name, py::arg("addr") = addr,
                                        py::arg("val") = val);
}

}  // namespace

// The run's count plays no part, and the port number goes in as the port
// gave it. A port call without a port number has no call in the main loop,
// so it has no place in the map either.
py::object led_map(py::object self, py::object controller_idx) {
  py::list port_map;
  for (py::handle run : self.attr("call_list")[controller_idx]) {
    auto [call, count] = common::unpack<2>(run);
    static_cast<void>(count);
    if (common::py_equal(call, py::int_(0)) || common::py_equal(call, py::int_(1))) continue;
    if (call.is_none()) continue;
    auto [call_name, call_code, call_port] = common::unpack<3>(call);
    if (call_port.is_none()) continue;
    port_map.append(call_port);
  }
  return port_map;
}

py::object led_memory_init_commands(py::object self, py::object controller_idx) {
  py::list commands;
  // Only the false value itself turns the commands off.
  if (self.attr("has_phys_id").ptr() == Py_False) return commands;
  py::object name = self.attr("data_array_name").attr("format")(py::arg("idx") = controller_idx);
  py::object addr = self.attr("data_array_base_addr");

  py::list port_map = common::builtin("list")(self.attr("led_map")(controller_idx));
  // Refused whole rather than written over the ID flags and the timers.
  if (py::len(port_map) > kPortMapCapacity) {
    common::raise_runtime(common::percent_of(
        "LED controller %s: port map of %d entries does not fit the %d data-RAM locations",
        controller_idx, py::len(port_map), kPortMapCapacity));
  }
  for (py::handle port : port_map) {
    commands.append(setreg(name, addr, port));
    addr = addr + py::int_(1);
  }
  for (py::handle constant : self.attr("in_ram_constants").attr("values")()) {
    commands.append(setreg(name, constant["addr"], constant["val"]));
  }
  return commands;
}

}  // namespace glimmer
