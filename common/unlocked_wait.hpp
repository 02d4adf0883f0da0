// Waiting for a program without the host's lock, the host's way: the lock
// is let go while the program runs and taken back whenever a signal
// interrupts the wait, so the host's signal handlers run; a handler that
// raises ends the wait (the process runner then kills and reaps the
// program). Use as the runner's `keep_waiting`:
//
//     common::UnlockedWait wait;
//     options.keep_waiting = [&wait] { return wait.run_handlers(); };
#pragma once

#include <Python.h>

namespace common {

class UnlockedWait {
 public:
  UnlockedWait() : state_(PyEval_SaveThread()) {}
  ~UnlockedWait() { PyEval_RestoreThread(state_); }
  UnlockedWait(const UnlockedWait&) = delete;
  UnlockedWait& operator=(const UnlockedWait&) = delete;

  // False once a handler has raised; its exception stays set.
  bool run_handlers() {
    PyEval_RestoreThread(state_);
    const bool carry_on = PyErr_CheckSignals() == 0;
    state_ = PyEval_SaveThread();
    return carry_on;
  }

 private:
  PyThreadState* state_;
};

}  // namespace common
