// The operations of the LED controller classes, one small function each,
// grouped by topic in the files named beside them. controller_classes.cpp
// places them in the class bodies in definition order.
#pragma once

#include <pybind11/pybind11.h>

namespace glimmer {

namespace py = pybind11;

// routine_set.cpp: the collection behind `set_functions`.
void define_routine_set(py::module_& module);
py::object new_routine_set();

// program_text_ops.cpp
py::object defines(py::object self);
void controller_init(py::object self);
py::object asm_text(py::object self);

// call_map.cpp
void configure(py::object self, py::object controller_idx, py::object ports);

// cost_model_ops.cpp
py::object eval_looping(py::object self, py::object calls);
py::object calc_looped_instructions(py::object self, py::object calls);
py::object calc_unrolled_instructions(py::object self, py::object calls);

// routine_emission.cpp
void led_pad_call(py::object self, py::object value, py::object length, py::object emit_loop);
void led_port_call(py::object self, py::object call, py::object length);
py::object chain_port(py::object self, py::object port_num);
py::object identity_chain_port(py::object self, py::object call_port);

// data_ram.cpp
py::object led_map(py::object self, py::object controller_idx);
py::object led_memory_init_commands(py::object self, py::object controller_idx);

// assembler_run.cpp
py::object hex_text(py::object self);
py::object compile(py::object self, py::object asm_source);

}  // namespace glimmer
