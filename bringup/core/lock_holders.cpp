#include "bringup/core/lock_holders.hpp"

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>

#include "common/process_runner.hpp"

namespace bringup {

namespace {

// Whether descriptor `other` is open on `file`: 1, 0 (closed, or open on
// another file), or -1 with errno set when that cannot be told.
int open_on(int other, const struct stat& file) {
  struct stat same {};
  if (fstat(other, &same) != 0) return errno == EBADF ? 0 : -1;
  return same.st_dev == file.st_dev && same.st_ino == file.st_ino;
}

// Adds the record locks /proc/self/fdinfo lists for `other`, open on
// `file`, to `own`. The descriptor is looked at again after: one closed
// meanwhile held nothing of this file, whatever its number names now, and
// one `skipped` now is left out.
void add_locks_of(int other, const struct stat& file, const std::function<bool(int)>& skipped,
                  OwnLocks& own) {
  std::string text;
  int failure = 0;
  try {
    text = common::read_file("/proc/self/fdinfo/" + std::to_string(other));
  } catch (const common::OsError& error) {
    failure = error.error_number();
  }
  const int still = skipped(other) ? 0 : open_on(other, file);
  if (still < 0) {
    own.error = errno;
  } else if (still && failure) {
    own.error = failure;
  } else if (still) {
    if (text.find(" POSIX ") != std::string::npos) own.posix = true;
    if (text.find(" OFDLCK ") != std::string::npos) own.descriptions.push_back(other);
  }
}

// The parent of process `pid` as /proc/<pid>/stat gives it ("pid (name)
// state parent ...", the name any text), or 0 when it cannot be read.
pid_t parent_of(pid_t pid) {
  std::string text;
  try {
    text = common::read_file("/proc/" + std::to_string(pid) + "/stat");
  } catch (const common::OsError&) {
    return 0;
  }
  const std::size_t name_end = text.rfind(')');
  if (name_end == std::string::npos || text.size() < name_end + 4) return 0;
  char* end = nullptr;
  const long parent = std::strtol(text.c_str() + name_end + 4, &end, 10);
  return end && *end == ' ' ? static_cast<pid_t>(parent) : 0;
}

}  // namespace

struct flock whole_file_lock() {
  struct flock lock {};
  lock.l_type = F_WRLCK;
  lock.l_whence = SEEK_SET;
  return lock;
}

OwnLocks own_locks(const std::function<bool(int)>& skipped, const struct stat& file, bool posix) {
  OwnLocks own;
  own.posix = posix;
  DIR* descriptors = opendir("/proc/self/fd");
  if (!descriptors) {
    const int error = errno;
    struct stat proc {};
    const bool no_proc = error == ENOENT && stat("/proc/self", &proc) != 0 && errno == ENOENT;
    if (!no_proc) own.error = error;
    return own;
  }
  while (!own.error) {
    errno = 0;
    const dirent* entry = readdir(descriptors);
    if (!entry) {
      own.error = errno;
      break;
    }
    char* end = nullptr;
    const long number = std::strtol(entry->d_name, &end, 10);
    if (end == entry->d_name || *end) continue;  // "." and ".."
    const int other = static_cast<int>(number);
    if (other == dirfd(descriptors) || skipped(other)) continue;
    const int on_file = open_on(other, file);
    if (on_file < 0) own.error = errno;
    if (on_file > 0) add_locks_of(other, file, skipped, own);
  }
  closedir(descriptors);
  return own;
}

int others_in_the_way(int fd, const OwnLocks& own, bool& others) {
  others = true;
  if (!own.descriptions.empty() && (own.posix || own.descriptions.size() > 1)) return 0;
  const bool as_process = own.descriptions.empty();
  struct flock found = whole_file_lock();
  if (fcntl(as_process ? fd : own.descriptions.front(), as_process ? F_GETLK : F_OFD_GETLK, &found) !=
      0) {
    return errno;
  }
  others = found.l_type != F_UNLCK;
  return 0;
}

bool is_an_ancestor(pid_t holder) {
  if (holder <= 0) return false;
  // Bounded, should pids be reused meanwhile into a loop.
  pid_t pid = getppid();
  for (int hops = 0; pid > 0 && hops < 4096; ++hops, pid = parent_of(pid)) {
    if (pid == holder) return true;
  }
  return false;
}

}  // namespace bringup
