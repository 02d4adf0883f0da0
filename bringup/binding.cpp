#include "bringup/binding.hpp"

#include <string>
#include <vector>

#include "common/host_values.hpp"
#include "common/process_errors.hpp"
#include "common/process_runner.hpp"
#include "common/strict_int.hpp"

namespace bringup {

namespace {
py::handle the_module;
}  // namespace

py::handle this_module() { return the_module; }
void set_this_module(py::handle module) { the_module = module; }

py::object to_int(py::handle value) {
  if (!PyUnicode_Check(value.ptr())) return common::steal(PyNumber_Long(value.ptr()));
  return common::int_of_text(value, common::IntRange::kAnySize);
}

py::object run_program(py::handle words) {
  SW_LET(command, common::steal(PySequence_List(words.ptr())));
  std::vector<std::string> argv;
  for (Py_ssize_t i = 0; i < PyList_GET_SIZE(command.ptr()); ++i) {
    PyObject* word = PyList_GET_ITEM(command.ptr(), i);
    if (!PyUnicode_Check(word)) {
      return common::fail_percent(PyExc_TypeError, "command words must be texts, not %r",
                                  py::handle(word));
    }
    SW_LET(bytes, common::steal(PyUnicode_EncodeFSDefault(word)));
    argv.emplace_back(PyBytes_AS_STRING(bytes.ptr()), PyBytes_GET_SIZE(bytes.ptr()));
  }
  common::ProcessOptions options;
  options.input = common::Stream::kInherit;
  common::ProcessResult result;
  try {
    result = common::run_process(argv, options);
  } catch (const common::OsError& error) {
    return common::fail_os(error);
  } catch (const std::exception& error) {
    return common::fail(PyExc_ValueError, error.what());
  }
  SW_LET(output, common::steal(PyUnicode_DecodeUTF8(result.output.data(),
                                                     static_cast<Py_ssize_t>(result.output.size()),
                                                     "surrogateescape")));
  if (result.status == 0) return output;
  SW_LET(subprocess, global(names.subprocess));
  SW_LET(error_class, common::get(subprocess, names.CalledProcessError));
  SW_LET(status, common::integer(result.status));
  SW_LET(error, common::call(error_class, status, command, output));
  PyErr_SetObject(reinterpret_cast<PyObject*>(Py_TYPE(error.ptr())), error.ptr());
  return {};
}

py::object fail_with(py::handle cls, py::handle message) {
  SW_LET(error, common::call(cls, message));
  PyErr_SetObject(reinterpret_cast<PyObject*>(Py_TYPE(error.ptr())), error.ptr());
  return {};
}

ClassBuilder define_class(py::module_& module, const char* name, const char* base,
                          const char* doc) {
  py::tuple bases = base ? py::make_tuple(module.attr(base)) : py::tuple();
  return ClassBuilder(module, name, bases, doc);
}

}  // namespace bringup
