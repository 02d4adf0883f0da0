// The program text: `defines`, the constructor that gives each controller
// its template, and `asm`, which fills the template from the class tables
// and the collections that `configure` filled. The texts are gathered from
// the object as UTF-8 once; the core fills the template; the program goes
// back to the host as one text.
#include <pybind11/pybind11.h>

#include <map>
#include <optional>
#include <stdexcept>
#include <string>

#include "common/host_calls.hpp"
#include "common/host_containers.hpp"
#include "common/utf8_text.hpp"
#include "glimmer/core/led_texts.hpp"
#include "glimmer/core/program_text.hpp"
#include "glimmer/names.hpp"
#include "glimmer/operations.hpp"

namespace glimmer {

namespace {

py::handle stock_id_variables() {
  // The ID variables text as the class body stores it: the port map at the
  // base class's own address.
  static const py::handle text = py::str(id_variables_text("c0")).release();
  return text;
}

// `%s` of an entry: the text of a str, str() of anything else.
int add_entry_text(common::Utf8Views& views, py::handle value, common::TextPieces& pieces) {
  if (PyUnicode_Check(value.ptr())) return views.add(value, pieces);
  py::object text = common::steal(PyObject_Str(value.ptr()));
  if (!text) return -1;
  return views.add(text, pieces);
}

using Entries = std::map<std::string, common::TextPieces, std::less<>>;

// The dict's text-keyed entries, as the core takes them.
int plain_entries(py::handle entries, common::Utf8Views& views, Entries& plain) {
  PyObject *key = nullptr, *value = nullptr;
  Py_ssize_t position = 0;
  while (PyDict_Next(entries.ptr(), &position, &key, &value)) {
    if (!PyUnicode_Check(key)) continue;  // never named by a template
    std::string name;
    if (common::append_utf8(name, key) < 0) return -1;
    common::TextPieces& pieces = plain[std::move(name)];
    pieces = common::TextPieces();
    if (add_entry_text(views, value, pieces) < 0) return -1;
  }
  return 0;
}

// The port map array sits where this controller's data-RAM commands put
// it; a board's own variables text is left as it wrote it.
int place_port_map(py::handle self, py::handle entries) {
  PyObject* variables = PyDict_GetItemWithError(entries.ptr(), names.variables);
  if (!variables) return PyErr_Occurred() ? -1 : 0;
  int stock = common::equal(variables, stock_id_variables());
  if (stock <= 0) return stock;
  py::object base = common::get(self, names.data_array_base_addr);
  if (!base) return -1;
  py::object digits = common::percent_text("%x", base);
  if (!digits) return -1;
  std::string hex;
  if (common::append_utf8(hex, digits) < 0) return -1;
  py::object text = common::text_from_utf8(id_variables_text(hex));
  if (!text) return -1;
  return PyDict_SetItem(entries.ptr(), names.variables, text.ptr());
}

}  // namespace

py::object defines(py::handle self) {
  static const py::handle thirty = py::int_(30).release();
  // The processor runs 30 times a second; the period must be whole ticks.
  SW_LET(period, common::get(self, names.blink_period));
  SW_LET(quotient, common::steal(PyNumber_TrueDivide(period.ptr(), thirty.ptr())));
  double ticks_value = PyFloat_AsDouble(quotient.ptr());
  if (ticks_value == -1.0 && PyErr_Occurred()) return {};
  std::optional<std::int64_t> ticks;
  try {
    ticks = whole_ticks(ticks_value);
  } catch (const std::overflow_error& error) {
    return common::fail(PyExc_OverflowError, error.what());
  }
  if (!ticks) {
    return common::fail(PyExc_RuntimeError,
                        "non-integer blink cycles, correct period to multiple of 30");
  }
  SW_LET(num_leds, common::get(self, names.num_leds));
  SW_LET(count, common::percent_text("%u", num_leds));
  std::string count_text;
  SW_CHECK(common::append_utf8(count_text, count));
  return common::text_from_utf8(defines_text(*ticks, count_text));
}

py::object controller_init(py::handle self) {
  static const py::handle program_template = py::str(kProgramTemplate).release();
  SW_LET(routine_set, common::get(this_module(), names._RoutineSet));
  SW_LET(routines, common::call(routine_set));
  SW_CHECK(common::set(self, names.set_functions, routines));
  SW_LET(calls, common::steal(PyList_New(0)));
  SW_CHECK(common::set(self, names.set_calls, calls));
  SW_CHECK(common::set(self, names._template, program_template));
  return common::none();
}

py::object asm_text(py::handle self) {
  SW_LET(entries, common::steal(PyDict_New()));
  SW_LET(static_code, common::get(self, names.static_code));
  SW_CHECK(common::update_dict(entries, static_code));
  SW_LET(has_phys_id, common::get(self, names.has_phys_id));
  SW_LET(id_variant, common::truth(has_phys_id));
  SW_LET(variant, common::get(self, id_variant ? names.static_id_func_code
                                                : names.static_no_id_func_code));
  SW_CHECK(common::update_dict(entries, variant));
  if (id_variant) SW_CHECK(place_port_map(self, entries));

  // Each collection is taken as it is read, as the host's join would take
  // it: what later reads do cannot change it.
  common::Utf8Views views;
  common::TextPieces set_functions, set_calls, defines_entry, led_functions, template_text;
  SW_LET(routines, common::get(self, names.set_functions));
  SW_CHECK(views.add_joined(routines, set_functions));
  SW_LET(calls, common::get(self, names.set_calls));
  SW_CHECK(views.add_joined(calls, set_calls));
  SW_LET(defines_value, common::get(self, names.defines));
  SW_CHECK(add_entry_text(views, defines_value, defines_entry));
  SW_LET(board_routines, common::get(self, names.led_functions));
  SW_CHECK(views.add_joined(board_routines, led_functions));
  SW_LET(program_template, common::get(self, names._template));
  if (!PyUnicode_Check(program_template.ptr())) {
    // Only text fills from the entries; anything else is the host's refusal
    // of `template % entries`, not the template's str().
    SW_LET(type_name, common::steal(PyType_GetName(Py_TYPE(program_template.ptr()))));
    return common::fail_percent(PyExc_TypeError, "unsupported operand type(s) for %%: %r and 'dict'",
                                type_name);
  }
  SW_CHECK(add_entry_text(views, program_template, template_text));

  Entries plain;
  SW_CHECK(plain_entries(entries, views, plain));
  plain["set_functions"] = std::move(set_functions);
  plain["set_calls"] = std::move(set_calls);
  plain["defines"] = std::move(defines_entry);
  plain["led_functions"] = std::move(led_functions);
  std::string template_utf8;
  template_text.append_to(template_utf8);
  auto known = [&plain](std::string_view key) { return plain.find(key) != plain.end(); };
  common::TextPieces program;
  try {
    for (const TemplatePart& part : template_layout(template_utf8, known)) {
      if (part.is_entry) {
        program.extend(plain.find(part.text)->second);
      } else {
        program.add(part.text);
      }
    }
  } catch (const MissingEntry& missing) {
    SW_LET(key, common::text_from_utf8(missing.key()));
    return common::fail_key(key);
  } catch (const BadTemplate& bad) {
    return common::fail(PyExc_ValueError, bad.what());
  }
  return views.text(program);
}

}  // namespace glimmer
