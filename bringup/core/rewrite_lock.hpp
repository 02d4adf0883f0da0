// The lock a rewrite of a file in place holds, so that two rewrites of one
// file at once never mix, without ever waiting on a lock its own caller
// holds.
#pragma once

#include <sys/types.h>

#include <functional>
#include <utility>

namespace bringup {

// A descriptor open on the file a rewrite in place writes, which it closes.
class RewriteDescriptor {
 public:
  explicit RewriteDescriptor(int fd) : fd_(fd) {}
  ~RewriteDescriptor();
  RewriteDescriptor(const RewriteDescriptor&) = delete;
  RewriteDescriptor& operator=(const RewriteDescriptor&) = delete;

  int fd() const { return fd_; }

  // Makes the rewrite the file's only one; 0 when it may go on, or the
  // errno that refuses it. This process's rewrites of one file take turns;
  // then an exclusive record lock on the whole file, owned by this open
  // file description (F_OFD_SETLK), is waited for while another process
  // holds a record lock on the file. Linux keeps flock locks apart from
  // these on local file systems: a flock a caller holds is never met.
  // Where this process holds a record lock on the file itself (a POSIX
  // lock, or one of an open file description it has a descriptor of, a
  // wrapper's passed down among them), it never waits: the file is written
  // unlocked at once when only its own locks stand in the way, as they
  // keep every other rewrite out, and refused with EDEADLK when another's
  // do too (its holder may be waiting on this process's). Failing to
  // look at its own locks (EMFILE) refuses it too. A file system that
  // keeps no such locks (ENOLCK) is written unlocked. While it waits,
  // `keep_waiting` (unset: the wait goes on) is asked at every turn, so
  // that a signal's handlers run; false ends the wait with
  // common::Interrupted.
  int lock(const std::function<bool()>& keep_waiting);

 private:
  int fd_;
  bool has_turn_ = false;
  std::pair<dev_t, ino_t> file_{};
};

}  // namespace bringup
