// Starting outside programs and keeping their files private.
//
// Plain C++, free of Python: a program is started directly (no shell) with
// the argument vector given, found through PATH when its name has no slash,
// with the caller's working directory and environment. Each of its standard
// streams goes to the null device, stays the caller's, or is captured; the
// captured streams are read fully while the program runs, so a large output
// cannot block it. The caller's descriptors other than 0, 1 and 2 are not
// passed on, and the signals the caller ignores are set back to their
// defaults in the program.
//
// Failures are C++ exceptions carrying what the host's errors need: an
// OsError (errno and the file name) when the program cannot start or a file
// cannot be used, an ExitStatusError (argument vector and status) from
// check_exit_status. The modules turn them into the host's OSError and
// subprocess.CalledProcessError.
#pragma once

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace common {

// An operating-system failure on one file: errno and the path concerned.
class OsError : public std::runtime_error {
 public:
  OsError(int error_number, std::string filename);
  int error_number() const { return error_number_; }
  const std::string& filename() const { return filename_; }

 private:
  int error_number_;
  std::string filename_;
};

// A program that ran and ended with a status other than 0.
class ExitStatusError : public std::runtime_error {
 public:
  ExitStatusError(std::vector<std::string> argv, int status);
  const std::vector<std::string>& argv() const { return argv_; }
  int status() const { return status_; }

 private:
  std::vector<std::string> argv_;
  int status_;
};

// Waiting for a program was given up because `keep_waiting` said so; the
// program has been killed and reaped.
class Interrupted : public std::runtime_error {
 public:
  Interrupted() : std::runtime_error("waiting for the program was interrupted") {}
};

enum class Stream {
  kNull,     // the null device
  kInherit,  // the caller's own stream
  kCapture,  // read into the result (output streams only)
};

struct ProcessOptions {
  ProcessOptions() = default;
  ProcessOptions(Stream input_stream, Stream output_stream, Stream error_stream)
      : input(input_stream), output(output_stream), errors(error_stream) {}

  Stream input = Stream::kNull;
  Stream output = Stream::kCapture;
  Stream errors = Stream::kInherit;
  // Asked each time a signal interrupts the wait (the caller's signal
  // handlers may run here); false ends the wait: the program is killed with
  // SIGKILL, reaped, and run_process throws Interrupted. Unset: the wait
  // simply goes on.
  std::function<bool()> keep_waiting;
};

struct ProcessResult {
  // The exit status, or minus the number of the signal that ended the
  // program (the host's convention for a return code).
  int status = 0;
  std::string output;  // captured standard output, bytes unchanged
  std::string errors;  // captured standard error, bytes unchanged
};

// Runs the program and waits for it. Throws OsError when it cannot be
// started (argv[0] named), std::invalid_argument ("embedded null byte")
// for a word holding a NUL, before anything starts, or for an empty argument
// vector or a captured input, Interrupted when keep_waiting gave up.
ProcessResult run_process(const std::vector<std::string>& argv,
                          const ProcessOptions& options = ProcessOptions());

// Throws ExitStatusError unless the program ended with status 0.
void check_exit_status(const std::vector<std::string>& argv, const ProcessResult& result);

// A new directory with a unique name inside `parent`, readable and writable
// by its owner only. remove() deletes it with everything in it and reports a
// failure; a directory not removed by then is removed, quietly, when the
// object goes away, so no path leaves it behind.
class PrivateDirectory {
 public:
  explicit PrivateDirectory(const std::string& parent);
  ~PrivateDirectory();
  PrivateDirectory(const PrivateDirectory&) = delete;
  PrivateDirectory& operator=(const PrivateDirectory&) = delete;

  const std::string& path() const { return path_; }
  void remove();  // throws OsError naming the path that could not go

 private:
  std::string path_;
  bool removed_ = false;
};

// Whole files, byte for byte. Both throw OsError naming the path.
void write_file(const std::string& path, const std::string& content);
std::string read_file(const std::string& path);

}  // namespace common
