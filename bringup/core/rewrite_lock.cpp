#include "bringup/core/rewrite_lock.hpp"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <mutex>
#include <set>
#include <string>

namespace bringup {

namespace {

// The descriptors this process's rewrites lock through. A number closed
// and opened again stays listed for a moment: its lock is then waited for
// a moment longer, never taken for a rewrite's.
std::mutex registry_mutex;

std::multiset<int>& registry() {
  static std::multiset<int> descriptors;
  return descriptors;
}

bool registered(int fd) {
  const std::lock_guard<std::mutex> hold(registry_mutex);
  return registry().count(fd) > 0;
}

// An exclusive lock from the first byte to the end, however far the file
// grows; l_pid 0, as the open file description's requests require.
struct flock whole_file_lock() {
  struct flock lock {};
  lock.l_type = F_WRLCK;
  lock.l_whence = SEEK_SET;
  return lock;
}

// Whether the descriptor `fd` of this process holds a POSIX or open file
// description record lock on its file: its /proc/self/fdinfo lists them.
bool holds_record_lock(int fd) {
  const std::string name = "/proc/self/fdinfo/" + std::to_string(fd);
  const int info = open(name.c_str(), O_RDONLY | O_CLOEXEC);
  if (info < 0) return false;
  std::string text;
  char buffer[1024];
  for (ssize_t got; (got = read(info, buffer, sizeof buffer)) > 0;) {
    text.append(buffer, static_cast<std::size_t>(got));
  }
  close(info);
  return text.find(" POSIX ") != std::string::npos || text.find(" OFDLCK ") != std::string::npos;
}

// Whether this process itself holds a record lock on the file open as
// `fd`: the lock in the way names this process (a POSIX lock), or a
// descriptor of this process open on the file holds one (an open file
// description's lock has no process), other than those rewrites lock
// through. Any lock of its own keeps every other rewrite out.
bool this_process_holds_a_lock(int fd) {
  struct flock found = whole_file_lock();
  if (fcntl(fd, F_OFD_GETLK, &found) == 0 && found.l_type != F_UNLCK && found.l_pid == getpid()) {
    return true;
  }
  struct stat file {};
  if (fstat(fd, &file) != 0) return false;
  DIR* descriptors = opendir("/proc/self/fd");
  if (!descriptors) return false;
  bool held = false;
  for (const dirent* entry; !held && (entry = readdir(descriptors)) != nullptr;) {
    char* end = nullptr;
    const long number = std::strtol(entry->d_name, &end, 10);
    if (end == entry->d_name || *end) continue;  // "." and ".."
    const int other = static_cast<int>(number);
    struct stat same {};
    if (other == fd || other == dirfd(descriptors) || fstat(other, &same) != 0 ||
        same.st_dev != file.st_dev || same.st_ino != file.st_ino || registered(other)) {
      continue;
    }
    held = holds_record_lock(other);
  }
  closedir(descriptors);
  return held;
}

}  // namespace

RewriteDescriptor::RewriteDescriptor(int fd) : fd_(fd) {
  const std::lock_guard<std::mutex> hold(registry_mutex);
  registry().insert(fd);
}

RewriteDescriptor::~RewriteDescriptor() {
  close(fd_);
  const std::lock_guard<std::mutex> hold(registry_mutex);
  registry().erase(registry().find(fd_));
}

// Asked again every moment rather than waited for in the kernel: a lock
// in the way may come to be this process's alone (another holder gone),
// and the kernel would never grant it.
bool RewriteDescriptor::lock(const std::function<bool()>& keep_waiting) {
  constexpr timespec kPause{0, 10'000'000};
  for (;;) {
    struct flock lock = whole_file_lock();
    if (fcntl(fd_, F_OFD_SETLK, &lock) == 0) return true;
    bool signalled = errno == EINTR;
    if (!signalled) {
      // No such locks here (ENOLCK; EINVAL on a kernel without them).
      if (errno != EAGAIN && errno != EACCES) return true;
      if (this_process_holds_a_lock(fd_)) return true;
      signalled = nanosleep(&kPause, nullptr) != 0 && errno == EINTR;
    }
    if (signalled && keep_waiting && !keep_waiting()) return false;
  }
}

}  // namespace bringup
