// The LED port map and the data-RAM initialisation commands of the ID
// variant: one port number per run of port calls from the port map's base
// address, then the reload values of the three blink timers.
#include <pybind11/pybind11.h>

#include "common/host_calls.hpp"
#include "common/host_containers.hpp"
#include "glimmer/led_calls.hpp"
#include "glimmer/names.hpp"
#include "glimmer/operations.hpp"

namespace glimmer {

namespace {

// PORT_MAP_ARRAY holds 32 entries; the ID flags and the blink timers follow.
constexpr Py_ssize_t kPortMapCapacity = 32;

// "setreg {name}[0x{addr:x}] {val}".format(name=..., addr=..., val=...)
py::object setreg(py::handle name, py::handle addr, py::handle val) {
  static const py::handle format =
      common::get(py::str("setreg {name}[0x{addr:x}] {val}"), names.format).release();
  static PyObject* const keywords = PyTuple_Pack(3, names.name, names.addr, names.val);
  if (!keywords) return {};
  return common::call_with_keywords(format, {name, addr, val}, keywords);
}

}  // namespace

// The run's count plays no part, and the port number goes in as the port
// gave it. A port call without a port number has no call in the main loop,
// so it has no place in the map either.
py::object led_map(py::handle self, py::handle controller_idx) {
  SW_LET(call_list, common::get(self, names.call_list));
  SW_LET(runs, common::item(call_list, controller_idx));
  SW_LET(port_map, common::steal(PyList_New(0)));
  SW_CHECK(for_each_run(runs, [&](py::handle call, py::handle, int pad) {
    if (pad >= 0 || call.ptr() == Py_None) return true;
    py::object parts[3];
    if (common::unpack(call, parts, 3) < 0) return false;
    return parts[2].ptr() == Py_None || PyList_Append(port_map.ptr(), parts[2].ptr()) == 0;
  }));
  return port_map;
}

py::object led_memory_init_commands(py::handle self, py::handle controller_idx) {
  static const py::handle one = py::int_(1).release();
  static const py::handle addr_key = py::str("addr").release(),
                                val_key = py::str("val").release();
  static PyObject* const idx_only = PyTuple_Pack(1, names.idx);
  if (!idx_only) return {};
  SW_LET(commands, common::steal(PyList_New(0)));
  // Only the false value itself turns the commands off.
  SW_LET(has_phys_id, common::get(self, names.has_phys_id));
  if (has_phys_id.ptr() == Py_False) return commands;
  SW_LET(array_name, common::get(self, names.data_array_name));
  SW_LET(format, common::get(array_name, names.format));
  SW_LET(name, common::call_with_keywords(format, {controller_idx}, idx_only));
  SW_LET(addr, common::get(self, names.data_array_base_addr));

  SW_LET(mapped, common::call_method(self, names.led_map, controller_idx));
  SW_LET(port_map, common::steal(PySequence_List(mapped.ptr())));
  // Refused whole rather than written over the ID flags and the timers.
  const Py_ssize_t entries = PyList_GET_SIZE(port_map.ptr());
  if (entries > kPortMapCapacity) {
    SW_LET(count, common::steal(PyLong_FromSsize_t(entries)));
    SW_LET(capacity, common::steal(PyLong_FromSsize_t(kPortMapCapacity)));
    return common::fail_percent(
        PyExc_RuntimeError,
        "LED controller %s: port map of %d entries does not fit the %d data-RAM locations",
        controller_idx, count, capacity);
  }
  for (Py_ssize_t i = 0; i < entries; ++i) {
    SW_LET(command, setreg(name, addr, PyList_GET_ITEM(port_map.ptr(), i)));
    SW_CHECK(PyList_Append(commands.ptr(), command.ptr()));
    addr = common::steal(PyNumber_Add(addr.ptr(), one.ptr()));
    if (!addr) return {};
  }
  SW_LET(constants, common::get(self, names.in_ram_constants));
  SW_LET(values, common::call_method(constants, names.values));
  SW_LET(iterator, common::steal(PyObject_GetIter(values.ptr())));
  while (PyObject* raw = PyIter_Next(iterator.ptr())) {
    py::object constant = common::steal(raw);
    SW_LET(address, common::item(constant, addr_key));
    SW_LET(value, common::item(constant, val_key));
    SW_LET(command, setreg(name, address, value));
    SW_CHECK(PyList_Append(commands.ptr(), command.ptr()));
  }
  if (PyErr_Occurred()) return {};
  return commands;
}

}  // namespace glimmer
