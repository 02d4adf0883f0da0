// Moving values between the host and plain C++ code, and the host's
// errors for what the core and the process runner report.
#pragma once

#include <pybind11/pybind11.h>

#include <array>
#include <cstdint>
#include <string>

namespace common {

namespace py = pybind11;

// Text to UTF-8 and back, losslessly (lone surrogates pass through).
std::string utf8_of(py::handle text);
py::str text_of(const std::string& utf8);

// Text as file bytes and file bytes as text: UTF-8 with surrogateescape.
std::string file_bytes_of(py::handle text);
py::str text_of_file_bytes(const std::string& bytes);

// A path object (text, bytes or path-like) as the bytes the system sees.
std::string path_bytes_of(py::handle path);

// An integer the core can compute with; TypeError naming `what` otherwise.
std::int64_t int64_of(py::handle value, const char* what);

// `a, b, c = value` with the host's unpacking errors.
template <std::size_t N>
std::array<py::object, N> unpack(py::handle value);

// The host's OSError subclass for errno, with the file name; `context`,
// when given, is attached as the error it replaced.
[[noreturn]] void raise_os_error(int error_number, py::handle filename,
                                 py::object context = py::object());

// subprocess.CalledProcessError(status, command).
[[noreturn]] void raise_called_process_error(int status, py::handle command);

py::object builtin(const char* name);

}  // namespace common
