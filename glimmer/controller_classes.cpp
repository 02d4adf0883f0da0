// LEDController and BCMLEDController: the LED processor's constants, the
// shared run-list table and every operation, in definition order. Family
// and board classes replace constants; every operation reads them through
// the object, so their values are the ones used.
#include <pybind11/pybind11.h>

#include "common/class_builder.hpp"
#include "common/fast_function.hpp"
#include "glimmer/core/led_texts.hpp"
#include "glimmer/core/program_text.hpp"
#include "glimmer/operations.hpp"
#include "glimmer/registrations.hpp"

namespace glimmer {

namespace {

using common::ClassBuilder;

constexpr const char* kEvalLoopingDoc =
    "Return boolean list.  True for pad call type(s) that benefit from looping";
constexpr const char* kChainPortDoc =
    "convert a hardware port number to a led chain port number";

// An operation of BCMLEDController, bound as a method descriptor: called
// through an object without a bound method made at each call.
template <typename... P>
py::object operation(const char* name, py::object (*body)(P...),
                     std::initializer_list<common::Param> params, const char* doc = nullptr) {
  return common::fast_method("BCMLEDController", name, body, params, doc);
}

py::dict table(std::initializer_list<std::pair<const char*, const char*>> entries) {
  py::dict result;
  for (const auto& [key, text] : entries) result[key] = py::str(text);
  return result;
}

py::dict ram_constant(int addr, int val) {
  py::dict entry;
  entry["addr"] = addr;
  entry["val"] = val;
  return entry;
}

py::dict in_ram_constants() {
  py::dict constants;
  constants["blink"] = ram_constant(0xf2, 3);
  constants["wiggle"] = ram_constant(0xf5, 19);
  constants["wag"] = ram_constant(0xf8, 119);
  return constants;
}

}  // namespace

void define_led_controller_classes(py::module_& module) {
  py::object led_controller = ClassBuilder(module, "LEDController", py::tuple()).build();

  // The port map address of the ID variables is written once, from this
  // class's own data_array_base_addr (192).
  ClassBuilder(module, "BCMLEDController", py::make_tuple(led_controller))
      .attr("_bytesmith", py::str("/usr/lib/tervane/bytesmith"))
      .attr("ports_per_chain", py::none())
      .attr("num_leds", py::none())
      .attr("led_functions", py::tuple())
      .attr("blink_period", py::int_(90))
      .attr("pad_n_code_size", py::int_(10))
      .attr("pad_call_size", py::int_(2))
      .attr("pad_n_call_size", py::int_(4))
      .attr("loop_insert_cost", py::int_(2))
      .attr("default_pad", py::int_(1))
      .attr("has_phys_id", py::bool_(false))
      .attr("data_array_name", py::str("CMIC_GLIMMER{idx}_DATA_RAM"))
      .attr("data_array_base_addr", py::int_(192))
      .attr("call_list", py::dict())
      .attr("static_code", table({{"constants", kConstantsText}}))
      .attr("static_no_id_func_code", table({{"variables", kPlainVariablesText},
                                             {"functions", kPlainBlinkRoutine},
                                             {"blink_updater_calls", kPlainBlinkUpdaterCalls}}))
      .attr("static_id_func_code",
            table({{"variables", id_variables_text("c0").c_str()},
                   {"functions", kIdBlinkRoutine},
                   {"blink_updater_calls", kIdBlinkUpdaterCalls}}))
      .attr("in_ram_constants", in_ram_constants())
      .attr("pad_zero", py::str(kPadZero))
      .attr("pad_one", py::str(kPadOne))
      .attr("pad_n_zero", py::str(kPadNZero))
      .attr("pad_n_one", py::str(kPadNOne))
      .property("defines", &defines)
      .attr("__init__", operation("__init__", &controller_init, {"self"}))
      .attr("configure",
            operation("configure", &configure, {"self", "controller_idx", "ports"}))
      .attr("_eval_looping",
            operation("_eval_looping", &eval_looping, {"self", "calls"}, kEvalLoopingDoc))
      .attr("_calc_looped_instructions",
            operation("_calc_looped_instructions", &calc_looped_instructions, {"self", "calls"}))
      .attr("_calc_unrolled_instructions",
            operation("_calc_unrolled_instructions", &calc_unrolled_instructions,
                      {"self", "calls"}))
      .attr("_led_pad_call", operation("_led_pad_call", &led_pad_call,
                                       {"self", "value", "length", "emit_loop"}))
      .attr("_led_port_call",
            operation("_led_port_call", &led_port_call, {"self", "call", "length"}))
      .attr("_chain_port",
            operation("_chain_port", &chain_port, {"self", "port_num"}, kChainPortDoc))
      .attr("led_map", operation("led_map", &led_map, {"self", "controller_idx"}))
      .attr("led_memory_init_commands", operation("led_memory_init_commands",
                                                  &led_memory_init_commands,
                                                  {"self", "controller_idx"}))
      .property("asm", &asm_text)
      .property("hex", &hex_text)
      .attr("_compile", operation("_compile", &compile, {"self", "asm"}))
      .build();
}

}  // namespace glimmer
