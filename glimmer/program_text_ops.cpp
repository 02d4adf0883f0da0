// The program text: `defines`, the constructor that gives each controller
// its template, and `asm`, which fills the template from the class tables
// and the collections that `configure` filled.
#include <pybind11/pybind11.h>

#include <optional>

#include "common/host_errors.hpp"
#include "common/py_ops.hpp"
#include "glimmer/core/led_texts.hpp"
#include "glimmer/core/program_text.hpp"
#include "common/host_values.hpp"
#include "glimmer/operations.hpp"

namespace glimmer {

namespace {

py::str joined(py::handle texts) { return py::str("").attr("join")(texts); }

// The ID variables text as the class body stores it: the port map at the
// base class's own address.
py::str stock_id_variables() {
  return common::text_of(id_variables_text("c0"));
}

TemplateEntries template_entries(const py::dict& entries) {
  TemplateEntries plain;
  for (auto item : entries) {
    if (!PyUnicode_Check(item.first.ptr())) continue;  // never named by a template
    plain[common::utf8_of(item.first)] = common::utf8_of(py::str(item.second));
  }
  return plain;
}

}  // namespace

py::object defines(py::object self) {
  // The processor runs 30 times a second; the period must be whole ticks.
  PyObject* quotient = PyNumber_TrueDivide(self.attr("blink_period").ptr(), py::int_(30).ptr());
  if (!quotient) throw py::error_already_set();
  double ticks_value = PyFloat_AsDouble(py::reinterpret_steal<py::object>(quotient).ptr());
  if (ticks_value == -1.0 && PyErr_Occurred()) throw py::error_already_set();
  std::optional<std::int64_t> ticks;
  try {
    ticks = whole_ticks(ticks_value);
  } catch (const std::overflow_error& error) {
    common::raise_error(PyExc_OverflowError, error.what());
  }
  if (!ticks) common::raise_runtime("non-integer blink cycles, correct period to multiple of 30");
  py::str num_leds = common::percent_of("%u", self.attr("num_leds"));
  return common::text_of(defines_text(*ticks, common::utf8_of(num_leds)));
}

void controller_init(py::object self) {
  self.attr("set_functions") = new_routine_set();
  self.attr("set_calls") = py::list();
  self.attr("_template") = py::str(kProgramTemplate);
}

py::object asm_text(py::object self) {
  py::dict entries = common::builtin("dict")(self.attr("static_code"));
  bool id_variant = common::py_truthy(self.attr("has_phys_id"));
  entries.attr("update")(id_variant ? self.attr("static_id_func_code")
                                    : self.attr("static_no_id_func_code"));
  // The port map array sits where this controller's data-RAM commands put
  // it; a board's own variables text is left as it wrote it.
  if (id_variant && entries.contains("variables") &&
      common::py_equal(entries["variables"], stock_id_variables())) {
    py::str address = common::percent_of("%x", self.attr("data_array_base_addr"));
    entries["variables"] = common::text_of(id_variables_text(common::utf8_of(address)));
  }
  entries["set_functions"] = joined(self.attr("set_functions"));
  entries["set_calls"] = joined(self.attr("set_calls"));
  entries["defines"] = self.attr("defines");
  entries["led_functions"] = joined(self.attr("led_functions"));

  std::string program_template = common::utf8_of(py::str(self.attr("_template")));
  try {
    return common::text_of(fill_template(program_template, template_entries(entries)));
  } catch (const MissingEntry& missing) {
    common::raise_key_error(common::text_of(missing.key()));
  } catch (const BadTemplate& bad) {
    common::raise_value_error(bad.what());
  }
}

}  // namespace glimmer
