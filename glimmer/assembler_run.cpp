// `hex` and `_compile`: the program is written into a private directory
// of its own, the outside assembler turns <dir>/code.asm into
// <dir>/code.hex, and the directory goes with everything in it on every
// path out. The wait for the assembler lets the caller's signal handlers
// run; one that raises ends the run (the assembler is killed and reaped,
// the directory removed) with its exception.
#include <pybind11/pybind11.h>

#include <optional>
#include <string>
#include <vector>

#include "common/host_calls.hpp"
#include "common/unlocked_wait.hpp"
#include "common/process_errors.hpp"
#include "common/process_runner.hpp"
#include "glimmer/names.hpp"
#include "glimmer/operations.hpp"

namespace glimmer {

namespace {

// Bytes of a host bytes object.
std::string bytes_of(py::handle bytes) {
  return std::string(PyBytes_AS_STRING(bytes.ptr()),
                     static_cast<std::size_t>(PyBytes_GET_SIZE(bytes.ptr())));
}

// A path object (text, bytes or path-like) as the bytes the system sees.
py::object path_bytes(py::handle path) {
  PyObject* converted = nullptr;
  if (!PyUnicode_FSConverter(path.ptr(), &converted)) return {};
  return common::steal(converted);
}

py::object text_of_file_bytes(const std::string& bytes) {
  return common::steal(PyUnicode_DecodeUTF8(bytes.data(), static_cast<Py_ssize_t>(bytes.size()),
                                            "surrogateescape"));
}

py::object fail_os_error(const common::OsError& error, py::handle context = {}) {
  SW_LET(filename, text_of_file_bytes(error.filename()));
  return common::fail_os_error(error.error_number(), filename, context);
}

// The host's temporary location, asked at each run (TMPDIR and the host's
// own setting count).
py::object temporary_location() {
  SW_LET(tempfile, common::steal(PyImport_Import(names.tempfile)));
  SW_LET(location, common::call_method(tempfile, names.gettempdir));
  return path_bytes(location);
}


// Runs the assembler on <directory>/code.asm and returns the hex text;
// every failure is the host's error.
py::object assemble(py::handle assembler, const std::string& directory,
                    const std::string& source) {
  const std::string stem = directory + "/code";
  try {
    common::write_file(stem + ".asm", source);
  } catch (const common::OsError& error) {
    return fail_os_error(error);
  }
  SW_LET(program, path_bytes(assembler));
  const std::vector<std::string> argv = {bytes_of(program), stem};
  common::ProcessOptions null_streams{common::Stream::kNull, common::Stream::kNull,
                                      common::Stream::kNull};
  common::ProcessResult result;
  try {
    common::UnlockedWait wait;
    null_streams.keep_waiting = [&wait] { return wait.run_handlers(); };
    result = common::run_process(argv, null_streams);
  } catch (const common::Interrupted&) {
    return {};  // the handler's exception is set
  } catch (const common::OsError& error) {
    // The program that could not start is named as the caller gave it.
    if (error.filename() == argv[0]) {
      return common::fail_os_error(error.error_number(), assembler);
    }
    return fail_os_error(error);
  }
  if (result.status != 0) {
    SW_LET(stem_text, text_of_file_bytes(stem));
    SW_LET(command, common::steal(PyList_New(0)));
    SW_CHECK(PyList_Append(command.ptr(), assembler.ptr()));
    SW_CHECK(PyList_Append(command.ptr(), stem_text.ptr()));
    return common::fail_called_process_error(result.status, command);
  }
  try {
    return text_of_file_bytes(common::read_file(stem + ".hex"));
  } catch (const common::OsError& error) {
    return fail_os_error(error);
  }
}

}  // namespace

py::object hex_text(py::handle self) {
  SW_LET(program, common::get(self, names.asm_));
  return common::call_method(self, names._compile, program);
}

py::object compile(py::handle self, py::handle asm_source) {
  if (!PyUnicode_Check(asm_source.ptr())) {
    PyErr_Format(PyExc_TypeError, "_compile() argument 'asm' must be str, not %.200s",
                 Py_TYPE(asm_source.ptr())->tp_name);
    return {};
  }
  SW_LET(source, common::steal(PyUnicode_AsEncodedString(asm_source.ptr(), "utf-8",
                                                         "surrogateescape")));
  SW_LET(assembler, common::get(self, names._bytesmith));
  SW_LET(parent, temporary_location());

  std::optional<common::PrivateDirectory> directory;
  try {
    directory.emplace(bytes_of(parent));
  } catch (const common::OsError& error) {
    return fail_os_error(error);
  }
  py::object hex = assemble(assembler, directory->path(), bytes_of(source));
  common::PendingError failure;
  if (!hex) failure.take();
  try {
    directory->remove();
  } catch (const common::OsError& error) {
    // The failed removal is reported; the failure it replaces stays its context.
    return fail_os_error(error, failure ? failure.value() : py::object());
  }
  if (!hex) {
    failure.restore();
    return {};
  }
  return hex;
}

}  // namespace glimmer
