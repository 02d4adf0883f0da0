// Emission of one run: the main-loop lines go to `set_calls` in LED order,
// the routines they call to `set_functions`. Lines of plain values are
// written by the core; anything else by the host's "%".
#include <pybind11/pybind11.h>

#include <array>
#include <cstdint>

#include "common/host_calls.hpp"
#include "common/host_containers.hpp"
#include "glimmer/core/main_loop_lines.hpp"
#include "glimmer/led_calls.hpp"
#include "glimmer/names.hpp"
#include "glimmer/operations.hpp"

namespace glimmer {

namespace {

// A numbered line: the core's text for a plain int, the host's otherwise.
py::object numbered_line(NumberedLine (*line)(std::int64_t), const char* format,
                         py::handle value) {
  std::int64_t number = 0;
  if (plain_int(value, number)) return line_text(line(number).text());
  return common::percent_text(format, value);
}

// The port position load; the lines of the first chain positions are
// made once and shared (texts never change).
py::object position_load(py::handle position) {
  constexpr std::int64_t kShared = 1024;
  static std::array<PyObject*, kShared>& shared = *new std::array<PyObject*, kShared>();
  std::int64_t number = 0;
  if (!plain_int(position, number)) return common::percent_text(kPortPositionLoadFormat, position);
  if (number < 0 || number >= kShared) return line_text(port_position_load(number).text());
  PyObject*& line = shared[static_cast<std::size_t>(number)];
  if (!line) {
    line = line_text(port_position_load(number).text()).release().ptr();
    if (!line) return {};
  }
  return common::borrow(line);
}

// A port routine's relabelled text and the main-loop line that calls it.
// For plain texts both are fixed by the call's name and code, so the last
// few are remembered by identity (texts never change, and the entries hold
// them alive).
struct Routine {
  py::object call_name, call_code;  // the key
  py::object code, call_text;
};

int make_routine(py::handle call_name, py::handle call_code, Routine& routine) {
  static const py::handle prefix = py::str("set_led_").release(),
                          colon = py::str(":").release(),
                          entry_label = py::str("set_led:").release();
  static const py::handle call_prefix = line_text(call_line("")).release();
  py::object fn_name;
  if (PyUnicode_CheckExact(call_name.ptr())) {
    fn_name = common::steal(PyUnicode_Concat(prefix.ptr(), call_name.ptr()));
  } else {
    fn_name = common::percent_text("set_led_%s", call_name);
  }
  if (!fn_name) return -1;
  routine.call_text = common::steal(PyUnicode_Concat(call_prefix.ptr(), fn_name.ptr()));
  if (!routine.call_text) return -1;
  // The routine's entry label becomes its own name; nothing else changes.
  py::object label = common::steal(PyUnicode_Concat(fn_name.ptr(), colon.ptr()));
  if (!label) return -1;
  if (PyUnicode_CheckExact(call_code.ptr())) {
    routine.code = common::steal(PyUnicode_Replace(call_code.ptr(), entry_label.ptr(), label.ptr(), -1));
  } else {
    routine.code = common::call_method(call_code, names.replace, entry_label, label);
  }
  return routine.code ? 0 : -1;
}

const Routine* routine_of(py::handle call_name, py::handle call_code, Routine& scratch) {
  // Never destroyed: the entries hold host objects past the host's end.
  static std::array<Routine, 8>& remembered = *new std::array<Routine, 8>();
  static std::size_t next = 0;
  const bool plain = PyUnicode_CheckExact(call_name.ptr()) && PyUnicode_CheckExact(call_code.ptr());
  if (plain) {
    for (const Routine& known : remembered) {
      if (known.call_name.ptr() == call_name.ptr() && known.call_code.ptr() == call_code.ptr()) {
        return &known;
      }
    }
  }
  if (make_routine(call_name, call_code, scratch) < 0) return nullptr;
  if (!plain) return &scratch;
  Routine& slot = remembered[next];
  next = (next + 1) % remembered.size();
  slot.call_name = common::borrow(call_name.ptr());
  slot.call_code = common::borrow(call_code.ptr());
  slot.code = scratch.code;
  slot.call_text = scratch.call_text;
  return &slot;
}

// The call line of one of the four pad routines.
py::handle pad_call_line(bool counted, int pad) {
  static const py::handle lines[2][2] = {
      {line_text(call_line("pad_zero")).release(), line_text(call_line("pad_one")).release()},
      {line_text(call_line("pad_n_zero")).release(), line_text(call_line("pad_n_one")).release()}};
  return lines[counted][pad];
}

}  // namespace

py::object led_pad_call(py::handle self, py::handle value, py::handle length,
                        py::handle emit_loop) {
  SW_LET(empty, equals_zero(length));
  if (empty) return common::none();
  int pad = pad_value_of(value);
  if (pad == -2) return {};
  if (pad < 0) return common::fail_percent(PyExc_RuntimeError, "bad pad value: %s", value);
  SW_LET(set_calls, common::get(self, names.set_calls));
  SW_LET(counted, common::truth(emit_loop));
  PyObject* func;
  if (counted) {
    // A count load and one call of the counted routine, whatever the length.
    func = pad ? names.pad_n_one : names.pad_n_zero;
    SW_LET(load, numbered_line(&pad_count_load, kPadCountLoadFormat, length));
    SW_CHECK(common::append(set_calls, load));
    SW_CHECK(common::append(set_calls, pad_call_line(true, pad)));
  } else {
    func = pad ? names.pad_one : names.pad_zero;
    py::handle line = pad_call_line(false, pad);
    SW_CHECK(for_each_index(length, [&](py::handle) { return common::append(set_calls, line) == 0; }));
  }
  SW_LET(set_functions, common::get(self, names.set_functions));
  SW_LET(routine, common::get(self, func));
  SW_CHECK(common::call_method(set_functions, names.add, routine));
  return common::none();
}

py::object led_port_call(py::handle self, py::handle call, py::handle length) {
  SW_LET(empty, equals_zero(length));
  if (empty) return common::none();
  py::object parts[3];
  SW_CHECK(common::unpack(call, parts, 3));
  const py::object &call_name = parts[0], &call_code = parts[1], &call_port = parts[2];
  SW_CHECK(for_each_index(length, [&](py::handle) {
    Routine scratch;
    const Routine* routine = routine_of(call_name, call_code, scratch);
    if (!routine) return false;
    py::object set_functions = common::get(self, names.set_functions);
    if (!set_functions || !common::call_method(set_functions, names.add, routine->code)) {
      return false;
    }
    if (call_port.ptr() == Py_None) return true;
    py::object set_calls = common::get(self, names.set_calls);
    if (!set_calls) return false;
    py::object position = common::call_method(self, names._chain_port, call_port);
    if (!position) return false;
    py::object load = position_load(position);
    return load && common::append(set_calls, load) == 0 &&
           common::append(set_calls, routine->call_text) == 0;
  }));
  return common::none();
}

// Chain position ((port_num - 1) mod ports_per_chain) + 1, with the floor
// remainder, so positions run from 1 to ports_per_chain.
py::object chain_port(py::handle self, py::handle port_num) {
  static const py::handle one = py::int_(1).release();
  SW_LET(before, common::steal(PyNumber_Subtract(port_num.ptr(), one.ptr())));
  SW_LET(ports_per_chain, common::get(self, names.ports_per_chain));
  SW_LET(remainder, common::steal(PyNumber_Remainder(before.ptr(), ports_per_chain.ptr())));
  return common::steal(PyNumber_Add(remainder.ptr(), one.ptr()));
}

// Tomahawk chains number their ports as the hardware does.
py::object identity_chain_port(py::handle, py::handle call_port) {
  return common::borrow(call_port.ptr());
}

}  // namespace glimmer
