// The operations of the LED controller classes, one small function each,
// grouped by topic in the files named beside them. controller_classes.cpp
// places them in the class bodies in definition order.
//
// Every operation takes its parameters as handles and returns a new
// reference, or a null object with the host's error set (common/host_calls.hpp).
#pragma once

#include <pybind11/pybind11.h>

namespace glimmer {

namespace py = pybind11;

// module.cpp: the module object, kept from start-up.
py::handle this_module();

// routine_set.cpp: the class behind `set_functions`, bound in the module
// under a private name.
void define_routine_set(py::module_& module);

// program_text_ops.cpp
py::object defines(py::handle self);
py::object controller_init(py::handle self);
py::object asm_text(py::handle self);

// call_map.cpp
py::object configure(py::handle self, py::handle controller_idx, py::handle ports);

// cost_model_ops.cpp
py::object eval_looping(py::handle self, py::handle calls);
py::object calc_looped_instructions(py::handle self, py::handle calls);
py::object calc_unrolled_instructions(py::handle self, py::handle calls);

// routine_emission.cpp
py::object led_pad_call(py::handle self, py::handle value, py::handle length,
                        py::handle emit_loop);
py::object led_port_call(py::handle self, py::handle call, py::handle length);
py::object chain_port(py::handle self, py::handle port_num);
py::object identity_chain_port(py::handle self, py::handle call_port);

// data_ram.cpp
py::object led_map(py::handle self, py::handle controller_idx);
py::object led_memory_init_commands(py::handle self, py::handle controller_idx);

// assembler_run.cpp
py::object hex_text(py::handle self);
py::object compile(py::handle self, py::handle asm_source);

}  // namespace glimmer
