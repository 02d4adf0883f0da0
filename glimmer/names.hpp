// Every attribute, method and class name glimmer's operations read or call
// at run time, interned once at module start-up.
#pragma once

#include "common/interned_names.hpp"

// clang-format off
#define GLIMMER_NAMES(N, S) \
   N(_RoutineSet) N(_bytesmith) N(_calc_looped_instructions) N(_calc_unrolled_instructions) \
   N(_chain_port) N(_compile) N(_eval_looping) N(_led_pad_call) \
   N(_led_port_call) N(_order) N(_template) N(add) \
   N(addr) N(blink_period) N(call_list) N(data_array_base_addr) N(data_array_name) \
   N(default_pad) N(defines) N(format) N(functions) \
   N(gang_label) N(gettempdir) N(has_phys_id) N(hw_port_num) \
   N(idx) N(in_ram_constants) N(led_functions) N(led_map) \
   N(leds) N(loop_insert_cost) N(name) N(num_leds) \
   N(num_logical_ports) N(pad_call_size) N(pad_n_call_size) N(pad_n_code_size) \
   N(pad_n_one) N(pad_n_zero) N(pad_one) N(pad_zero) \
   N(ports_per_chain) N(replace) N(set_calls) N(set_functions) \
   N(set_leds) N(sort) N(static_code) N(static_id_func_code) \
   N(static_no_id_func_code) N(tempfile) N(val) N(values) \
   N(key) N(variables) \
  S(asm_, "asm") S(dunder_dict, "__dict__") S(dunder_getitem, "__getitem__")
// clang-format on

namespace glimmer {

COMMON_NAME_TABLE(Names, GLIMMER_NAMES)

// Filled by `names.intern()` when the module starts.
inline Names names;

}  // namespace glimmer
