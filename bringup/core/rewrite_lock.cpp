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
#include <vector>

#include "common/process_runner.hpp"

namespace bringup {

namespace {

// The files this process's rewrites in place hold their turn at.
std::mutex turns_mutex;

std::set<std::pair<dev_t, ino_t>>& turns() {
  static std::set<std::pair<dev_t, ino_t>> files;
  return files;
}

bool take_turn(const std::pair<dev_t, ino_t>& file) {
  const std::lock_guard<std::mutex> hold(turns_mutex);
  return turns().insert(file).second;
}

void give_turn(const std::pair<dev_t, ino_t>& file) {
  const std::lock_guard<std::mutex> hold(turns_mutex);
  turns().erase(file);
}

// A moment's wait, then `keep_waiting` is asked (a signal that came at any
// point since runs its handlers); false ends the wait.
void pause(const std::function<bool()>& keep_waiting) {
  constexpr timespec kPause{0, 10'000'000};
  nanosleep(&kPause, nullptr);
  if (keep_waiting && !keep_waiting()) throw common::Interrupted();
}

// An exclusive lock from the first byte to the end, however far the file
// grows; l_pid 0, as the open file description's requests require.
struct flock whole_file_lock() {
  struct flock lock {};
  lock.l_type = F_WRLCK;
  lock.l_whence = SEEK_SET;
  return lock;
}

bool out_of_descriptors(int error) { return error == EMFILE || error == ENFILE || error == ENOMEM; }

// The record locks this process holds on a file.
struct OwnLocks {
  bool posix = false;
  std::vector<int> descriptions;  // descriptors whose open file descriptions hold some
  int error = 0;                  // why they could not all be looked at
};

// Adds the record locks /proc/self/fdinfo lists for `fd` to `own`.
void add_locks_of(int fd, OwnLocks& own) {
  const std::string name = "/proc/self/fdinfo/" + std::to_string(fd);
  const int info = open(name.c_str(), O_RDONLY | O_CLOEXEC);
  if (info < 0) {
    if (out_of_descriptors(errno)) own.error = errno;
    return;  // closed meanwhile
  }
  std::string text;
  char buffer[1024];
  for (ssize_t got; (got = read(info, buffer, sizeof buffer)) > 0;) {
    text.append(buffer, static_cast<std::size_t>(got));
  }
  close(info);
  if (text.find(" POSIX ") != std::string::npos) own.posix = true;
  if (text.find(" OFDLCK ") != std::string::npos) own.descriptions.push_back(fd);
}

// The record locks this process holds on `file`, open as `fd`: a POSIX
// lock in the way names it; the descriptors it has open on the file list
// theirs. Without /proc only the first can be told.
OwnLocks own_locks(int fd, const struct stat& file) {
  OwnLocks own;
  struct flock found = whole_file_lock();
  own.posix = fcntl(fd, F_OFD_GETLK, &found) == 0 && found.l_type != F_UNLCK && found.l_pid == getpid();
  DIR* descriptors = opendir("/proc/self/fd");
  if (!descriptors) {
    if (out_of_descriptors(errno)) own.error = errno;
    return own;
  }
  for (const dirent* entry; !own.error && (entry = readdir(descriptors)) != nullptr;) {
    char* end = nullptr;
    const long number = std::strtol(entry->d_name, &end, 10);
    if (end == entry->d_name || *end) continue;  // "." and ".."
    const int other = static_cast<int>(number);
    struct stat same {};
    if (other == fd || other == dirfd(descriptors) || fstat(other, &same) != 0 ||
        same.st_dev != file.st_dev || same.st_ino != file.st_ino) {
      continue;
    }
    add_locks_of(other, own);
  }
  closedir(descriptors);
  return own;
}

// Whether a lock not this process's stands in the way of `fd`'s exclusive
// lock, where the process holds `own`. The kernel leaves a lock's owner's
// own locks out of what it reports: the process's POSIX locks for a
// POSIX query, a description's for that description's query. One query
// sees every other lock only where the process's locks have one owner;
// otherwise another's is taken to be there.
bool others_in_the_way(int fd, const OwnLocks& own) {
  struct flock found = whole_file_lock();
  if (own.descriptions.empty()) return fcntl(fd, F_GETLK, &found) != 0 || found.l_type != F_UNLCK;
  if (own.posix || own.descriptions.size() > 1) return true;
  return fcntl(own.descriptions.front(), F_OFD_GETLK, &found) != 0 || found.l_type != F_UNLCK;
}

}  // namespace

RewriteDescriptor::~RewriteDescriptor() {
  close(fd_);
  if (has_turn_) give_turn(file_);
}

int RewriteDescriptor::lock(const std::function<bool()>& keep_waiting) {
  struct stat file {};
  if (fstat(fd_, &file) != 0) return errno;
  // Two threads' rewrites could otherwise both take a lock of the
  // caller's for their own.
  while (!take_turn({file.st_dev, file.st_ino})) pause(keep_waiting);
  has_turn_ = true;
  file_ = {file.st_dev, file.st_ino};
  // Asked again at every turn rather than waited for in the kernel, which
  // runs no handler and would never grant a lock this process stands in
  // the way of. What this process holds is looked at once: only its other
  // threads could change it meanwhile.
  for (bool looked = false;; pause(keep_waiting)) {
    struct flock lock = whole_file_lock();
    if (fcntl(fd_, F_OFD_SETLK, &lock) == 0) return 0;
    if (errno == EINTR) continue;
    // No such locks here (ENOLCK; EINVAL on a kernel without them).
    if (errno != EAGAIN && errno != EACCES) return 0;
    if (looked) continue;
    looked = true;
    const OwnLocks own = own_locks(fd_, file);
    if (own.error) return own.error;
    if (own.posix || !own.descriptions.empty()) return others_in_the_way(fd_, own) ? EDEADLK : 0;
  }
}

}  // namespace bringup
