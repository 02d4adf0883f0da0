#include "bringup/core/rewrite_lock.hpp"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <pthread.h>

#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "common/process_runner.hpp"

namespace bringup {

namespace {

// The files this process's rewrites hold their turn at, and the thread
// that holds each.
std::mutex turns_mutex;

std::map<std::pair<dev_t, ino_t>, std::thread::id>& turns() {
  static std::map<std::pair<dev_t, ino_t>, std::thread::id> files;
  return files;
}

// A child of a fork has none of the threads that held turns. The list is
// held across the fork, so that the child never finds it held by a thread
// it lacks.
void clear_turns_in_children() {
  static std::once_flag once;
  std::call_once(once, [] {
    pthread_atfork([] { turns_mutex.lock(); }, [] { turns_mutex.unlock(); },
                   [] {
                     turns().clear();
                     turns_mutex.unlock();
                   });
  });
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
  std::string text;
  try {
    text = common::read_file("/proc/self/fdinfo/" + std::to_string(fd));
  } catch (const common::OsError& error) {
    if (out_of_descriptors(error.error_number())) own.error = error.error_number();
    return;  // closed meanwhile
  }
  if (text.find(" POSIX ") != std::string::npos) own.posix = true;
  if (text.find(" OFDLCK ") != std::string::npos) own.descriptions.push_back(fd);
}

// The record locks this process holds on `file`, open as `fd`: `posix`
// when a POSIX lock in the way names it; the descriptors it has open on
// the file list theirs. Without /proc only the first can be told.
OwnLocks own_locks(int fd, const struct stat& file, bool posix) {
  OwnLocks own;
  own.posix = posix;
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

RewriteTurn::RewriteTurn(dev_t device, ino_t inode, const std::string& path,
                         const std::function<bool()>& keep_waiting)
    : file_(device, inode) {
  clear_turns_in_children();
  for (;; pause(keep_waiting)) {
    const std::lock_guard<std::mutex> hold(turns_mutex);
    const auto [holder, taken] = turns().emplace(file_, std::this_thread::get_id());
    if (taken) return;
    if (holder->second == std::this_thread::get_id()) throw common::OsError(EDEADLK, path);
  }
}

RewriteTurn::~RewriteTurn() {
  const std::lock_guard<std::mutex> hold(turns_mutex);
  turns().erase(file_);
}

RewriteDescriptor::~RewriteDescriptor() { close(fd_); }

int RewriteDescriptor::lock(const std::function<bool()>& keep_waiting) {
  struct stat file {};
  if (fstat(fd_, &file) != 0) return errno;
  // Asked again at every pause rather than waited for in the kernel, which
  // runs no handler and would never grant a lock this process stands in
  // the way of. A POSIX lock of this process's in the way is looked for
  // every time (another of its threads may take one meanwhile, or be
  // found once another's is gone); the descriptors' locks once.
  for (bool looked = false;; pause(keep_waiting)) {
    struct flock lock = whole_file_lock();
    if (fcntl(fd_, F_OFD_SETLK, &lock) == 0) return 0;
    if (errno == EINTR) continue;
    // No such locks here (ENOLCK; EINVAL on a kernel without them).
    if (errno != EAGAIN && errno != EACCES) return 0;
    struct flock found = whole_file_lock();
    const bool posix = fcntl(fd_, F_OFD_GETLK, &found) == 0 && found.l_type != F_UNLCK &&
                       found.l_pid == getpid();
    if (looked && !posix) continue;
    looked = true;
    const OwnLocks own = own_locks(fd_, file, posix);
    if (own.error) return own.error;
    if (own.posix || !own.descriptions.empty()) return others_in_the_way(fd_, own) ? EDEADLK : 0;
  }
}

}  // namespace bringup
