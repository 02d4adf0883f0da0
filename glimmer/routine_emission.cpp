// Emission of one run: the main-loop lines go to `set_calls` in LED order,
// the routines they call to `set_functions`.
#include <pybind11/pybind11.h>

#include "common/host_errors.hpp"
#include "common/py_ops.hpp"
#include "common/host_values.hpp"
#include "glimmer/operations.hpp"

namespace glimmer {

namespace {

// Main-loop lines; every operand starts in column 17. The pad count load
// has a blank after its comma, the port position load has none.
constexpr const char* kPadCountLoad = "\n        ld      a, %u";
constexpr const char* kCallLine = "\n        call    %s";
constexpr const char* kPortPositionLoad = "\n        ld      a,%u";

}  // namespace

void led_pad_call(py::object self, py::object value, py::object length, py::object emit_loop) {
  if (common::py_equal(length, py::int_(0))) return;
  const char* pad = nullptr;
  if (common::py_equal(value, py::int_(0))) {
    pad = "zero";
  } else if (common::py_equal(value, py::int_(1))) {
    pad = "one";
  } else {
    common::raise_runtime(common::percent_of("bad pad value: %s", value));
  }
  py::object set_calls = self.attr("set_calls");
  py::str func;
  if (common::py_truthy(emit_loop)) {
    // A count load and one call of the counted routine, whatever the length.
    func = common::percent_of("pad_n_%s", pad);
    set_calls.attr("append")(common::percent_of(kPadCountLoad, length));
    set_calls.attr("append")(common::percent_of(kCallLine, func));
  } else {
    func = common::percent_of("pad_%s", pad);
    py::object times = common::builtin("range")(length);
    py::str line = common::percent_of(kCallLine, func);
    for (py::handle unused : times) {
      static_cast<void>(unused);
      set_calls.attr("append")(line);
    }
  }
  self.attr("set_functions").attr("add")(self.attr(func));
}

void led_port_call(py::object self, py::object call, py::object length) {
  if (common::py_equal(length, py::int_(0))) return;
  auto [call_name, call_code, call_port] = common::unpack<3>(call);
  py::object times = common::builtin("range")(length);
  for (py::handle unused : times) {
    static_cast<void>(unused);
    py::str fn_name = common::percent_of("set_led_%s", call_name);
    // The routine's entry label becomes its own name; nothing else changes.
    py::object code = call_code.attr("replace")("set_led:", common::percent_of("%s:", fn_name));
    self.attr("set_functions").attr("add")(code);
    if (!call_port.is_none()) {
      py::object set_calls = self.attr("set_calls");
      set_calls.attr("append")(
          common::percent_of(kPortPositionLoad, self.attr("_chain_port")(call_port)));
      set_calls.attr("append")(common::percent_of(kCallLine, fn_name));
    }
  }
}

// Chain position ((port_num - 1) mod ports_per_chain) + 1, with the floor
// remainder, so positions run from 1 to ports_per_chain.
py::object chain_port(py::object self, py::object port_num) {
  py::object before = port_num - py::int_(1);
  PyObject* remainder = PyNumber_Remainder(before.ptr(), self.attr("ports_per_chain").ptr());
  if (!remainder) throw py::error_already_set();
  return py::reinterpret_steal<py::object>(remainder) + py::int_(1);
}

// Tomahawk chains number their ports as the hardware does.
py::object identity_chain_port(py::object, py::object call_port) { return call_port; }

}  // namespace glimmer
