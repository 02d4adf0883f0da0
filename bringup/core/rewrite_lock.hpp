// The lock a rewrite of a file in place holds, so that two rewrites of one
// file at once never mix, without ever waiting on a lock its own caller
// holds.
#pragma once

#include <functional>

namespace bringup {

// A descriptor open on the file a rewrite in place writes, which it closes.
// While open it is known to this process's other rewrites, so that they
// wait for the lock it holds rather than take it for their caller's.
class RewriteDescriptor {
 public:
  explicit RewriteDescriptor(int fd);
  ~RewriteDescriptor();
  RewriteDescriptor(const RewriteDescriptor&) = delete;
  RewriteDescriptor& operator=(const RewriteDescriptor&) = delete;

  int fd() const { return fd_; }

  // Takes an exclusive record lock on the whole file, owned by this open
  // file description (F_OFD_SETLK), waiting while another holds one: two
  // rewrites of one file take turns. Linux keeps flock locks apart from
  // these on local file systems, so a flock a caller holds is never met.
  // A record lock this very process holds (its own POSIX lock, or an open
  // file description's lock through a descriptor it has, a wrapper's
  // passed down among them) is not waited for: the file is written
  // unlocked at once, and that lock keeps other rewrites out meanwhile.
  // A file system that keeps no such locks (ENOLCK) is written unlocked.
  // While it waits, a signal asks `keep_waiting` (unset: the wait goes
  // on); false ends the wait and is returned.
  bool lock(const std::function<bool()>& keep_waiting);

 private:
  int fd_;
};

}  // namespace bringup
