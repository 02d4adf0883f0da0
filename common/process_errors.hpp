// The host's errors for what the process runner reports, set without C++
// throws (see host_calls.hpp): each returns a null object.
#pragma once

#include <pybind11/pybind11.h>

#include <string>

#include "common/process_runner.hpp"

namespace common {

namespace py = pybind11;

// The host's OSError subclass for the errno, naming the file. A non-null
// `context` is the failure this one replaces, kept as its context; a
// non-null `reason` replaces the host's text for the errno.
py::object fail_os_error(int error_number, py::handle filename, py::handle context = {},
                         py::handle reason = {});

// The same for an OsError of the runner or the file helpers, its file name
// decoded as the host decodes file names.
py::object fail_os(const OsError& error, py::handle reason = {});

// The host's text for the errno, as its OSError gives it.
py::object os_error_reason(int error_number);

// A file name as the host decodes file names.
py::object host_file_name(const std::string& name);

// subprocess.CalledProcessError(status, command), the module looked up at
// call time.
py::object fail_called_process_error(int status, py::handle command);

// The error now set, taken out of the host and put back later: a failure
// in progress that a clean-up step must not lose.
class PendingError {
 public:
  PendingError() = default;
  PendingError(const PendingError&) = delete;
  PendingError& operator=(const PendingError&) = delete;
  ~PendingError();

  void take();     // takes the error now set (if any)
  void restore();  // sets it again; nothing when none was taken
  explicit operator bool() const { return type_ != nullptr; }
  // The error as an exception object, its traceback attached.
  py::object value();

 private:
  PyObject* type_ = nullptr;
  PyObject* value_ = nullptr;
  PyObject* traceback_ = nullptr;
};

}  // namespace common
