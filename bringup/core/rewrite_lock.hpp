// The turn and the lock a rewrite of a file holds, so that two rewrites of
// one file at once never mix, without ever waiting on a lock its own
// caller holds.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <functional>
#include <string>
#include <utility>

namespace bringup {

// Thrown where a rewrite must begin again from the file's name: the name
// reaches another file than the one whose turn it waited for, or the
// rewrite is a child's, forked by a signal handler while it waited for
// the lock, whose descriptor the fork closed.
struct RewriteStartsOver {};

// This process's turn at rewriting one file (its device and inode): its
// threads' rewrites of a file take turns, before any of them opens it, so
// that one's closing the file (which ends every POSIX lock the process
// holds on it) never comes in the middle of another's. While it waits,
// `keep_waiting` (unset: the wait goes on) is asked at every pause, so
// that a signal's handlers run; false ends the wait with
// common::Interrupted. A rewrite within a rewrite of the same file on
// one thread (a signal handler's) is refused with EDEADLK, naming `path`.
// A child process starts with no turns held.
class RewriteTurn {
 public:
  RewriteTurn(dev_t device, ino_t inode, const std::string& path,
              const std::function<bool()>& keep_waiting);
  ~RewriteTurn();
  RewriteTurn(const RewriteTurn&) = delete;
  RewriteTurn& operator=(const RewriteTurn&) = delete;

 private:
  std::pair<dev_t, ino_t> file_;
  std::uint64_t serial_ = 0;  // which taking of the turn is this one's
};

// A descriptor a rewrite in place opens on the file it writes, read and
// written, and closes. A child forked while it is open starts without it:
// the child's copy would keep the rewrite's lock for as long as the child
// lives, and the child would take that lock for one of its own.
class RewriteDescriptor {
 public:
  // Opens `target`; fd() is -1 and open_error() the errno when it fails.
  explicit RewriteDescriptor(const std::string& target);
  ~RewriteDescriptor();
  RewriteDescriptor(const RewriteDescriptor&) = delete;
  RewriteDescriptor& operator=(const RewriteDescriptor&) = delete;

  int fd() const { return fd_; }
  int open_error() const { return open_error_; }

  // Makes the rewrite, which holds its turn, the file's only one; 0 when
  // it may go on, or the errno that refuses it. An exclusive record lock
  // on the whole file, owned by this open file description (F_OFD_SETLK),
  // is waited for while another process, or another rewrite of this one,
  // holds a record lock on the file. Linux keeps flock locks apart from
  // these on local file systems: a flock a caller holds is never met.
  // Where this process's caller holds a record lock on the file itself (a
  // POSIX lock, or one of an open file description it has a descriptor
  // of, a wrapper's passed down among them), it never waits: the file is
  // written unlocked at once when only those locks stand in the way, as
  // they keep every other rewrite out, and refused with EDEADLK when
  // another's do too (its holder may be waiting on this process's), or
  // when its own are held by more than one owner, past which no query
  // sees. A POSIX lock of a process that started this one is waited for a
  // second at most (as while that process reads the file), then refused
  // with EDEADLK too: its holder is taken to be waiting on this process.
  // A file system that keeps no such locks (ENOLCK, or EINVAL on a kernel
  // without them, at the first request) is written unlocked; any other
  // failure of a request, or of looking at the process's own locks,
  // refuses it with its errno. The wait is asked as the turn's is. In a
  // child that a signal handler forked during the wait, RewriteStartsOver
  // is thrown: the fork closed the child's copy of the descriptor.
  int lock(const std::function<bool()>& keep_waiting);

 private:
  // Whether this descriptor is still the rewrite's: not in a child that
  // a signal handler forked during the wait.
  bool still_open() const;

  int fd_ = -1;
  int open_error_ = 0;
  std::uint64_t serial_ = 0;
};

}  // namespace bringup
