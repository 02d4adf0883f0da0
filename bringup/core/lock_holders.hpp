// Who holds the record locks that stand in the way of a rewrite's lock on
// a file: this process, one of the processes that started it, or another.
#pragma once

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/types.h>

#include <functional>
#include <vector>

namespace bringup {

// An exclusive lock from the first byte to the end, however far the file
// grows; l_pid 0, as the open file description's requests require.
struct flock whole_file_lock();

// The record locks this process holds on a file.
struct OwnLocks {
  bool posix = false;
  std::vector<int> descriptions;  // descriptors whose open file descriptions hold some
  int error = 0;                  // why they could not all be looked at
};

// The record locks this process holds on `file`: `posix` when a POSIX
// lock in the way names it; the descriptors it has open on the file
// (listed in /proc/self/fd) list theirs, but for those `skipped` says are
// left out, before their locks are read or after. Without /proc mounted
// only the first can be told. A descriptor closed while it is looked at
// holds nothing; any other failure to look is `error`.
OwnLocks own_locks(const std::function<bool(int)>& skipped, const struct stat& file, bool posix);

// Whether a lock not this process's stands in the way of `fd`'s exclusive
// lock on the whole file, where the process holds `own`: 0 with `others`
// set, or the errno of a query that failed. The kernel leaves a lock's
// owner's own locks out of what it reports: the process's POSIX locks for
// a POSIX query, a description's for that description's query. One query
// sees every other lock only where the process's locks have one owner;
// otherwise another's is taken to be there.
int others_in_the_way(int fd, const OwnLocks& own, bool& others);

// Whether `holder` (a pid a lock query reported) started this process,
// directly or through others: its parent, its parent's parent and so on.
// Without /proc only the parent is known.
bool is_an_ancestor(pid_t holder);

}  // namespace bringup
