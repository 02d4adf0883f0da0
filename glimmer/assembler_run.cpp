// `hex` and `_compile`: the program is written into a private directory
// of its own, the outside assembler turns <dir>/code.asm into
// <dir>/code.hex, and the directory goes with everything in it on every
// path out.
#include <pybind11/pybind11.h>

#include <optional>
#include <string>
#include <vector>

#include "common/host_errors.hpp"
#include "common/process_runner.hpp"
#include "common/host_values.hpp"
#include "glimmer/operations.hpp"

namespace glimmer {

namespace {

// The host's temporary location, asked at each run (TMPDIR and the host's
// own setting count).
std::string temporary_location() {
  return common::path_bytes_of(py::module_::import("tempfile").attr("gettempdir")());
}

// Runs the assembler with its standard streams on the null device and
// returns the hex file's bytes; every failure reaches the caller as the
// host's error.
std::string assemble(const py::object& assembler, const std::string& directory,
                     const std::string& source) {
  const std::string stem = directory + "/code";
  try {
    common::write_file(stem + ".asm", source);
    const std::vector<std::string> argv = {common::path_bytes_of(assembler), stem};
    common::ProcessOptions null_streams{common::Stream::kNull, common::Stream::kNull,
                                        common::Stream::kNull};
    common::ProcessResult result;
    {
      py::gil_scoped_release unlocked;
      result = common::run_process(argv, null_streams);
    }
    if (result.status != 0) {
      py::list command;
      command.append(assembler);
      command.append(common::text_of_file_bytes(stem));
      common::raise_called_process_error(result.status, command);
    }
    return common::read_file(stem + ".hex");
  } catch (const common::OsError& error) {
    // The program that could not start is named as the caller gave it.
    bool is_program = error.filename() == common::path_bytes_of(assembler);
    common::raise_os_error(error.error_number(),
                   is_program ? py::object(assembler) : py::object(common::text_of_file_bytes(error.filename())));
  }
}

}  // namespace

py::object hex_text(py::object self) { return self.attr("_compile")(self.attr("asm")); }

py::object compile(py::object self, py::object asm_source) {
  if (!PyUnicode_Check(asm_source.ptr())) {
    common::raise_type_error(std::string("_compile() argument 'asm' must be str, not ") +
                             Py_TYPE(asm_source.ptr())->tp_name);
  }
  const std::string source = common::file_bytes_of(asm_source);
  py::object assembler = self.attr("_bytesmith");

  std::optional<common::PrivateDirectory> directory;
  std::string parent = temporary_location();
  try {
    directory.emplace(parent);
  } catch (const common::OsError& error) {
    common::raise_os_error(error.error_number(), common::text_of_file_bytes(error.filename()));
  }

  std::optional<py::error_already_set> failure;
  std::string hex;
  try {
    hex = assemble(assembler, directory->path(), source);
  } catch (py::error_already_set& error) {
    failure.emplace(std::move(error));
  }
  try {
    directory->remove();
  } catch (const common::OsError& error) {
    // The failed removal is reported; the failure it replaces stays its context.
    py::object replaced;
    if (failure) {
      replaced = failure->value();
      if (failure->trace()) PyException_SetTraceback(replaced.ptr(), failure->trace().ptr());
    }
    common::raise_os_error(error.error_number(), common::text_of_file_bytes(error.filename()), replaced);
  }
  if (failure) throw std::move(*failure);
  return common::text_of_file_bytes(hex);
}

}  // namespace glimmer
