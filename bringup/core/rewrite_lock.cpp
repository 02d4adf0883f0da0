#include "bringup/core/rewrite_lock.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <pthread.h>

#include <chrono>
#include <cerrno>
#include <cstdint>
#include <ctime>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "bringup/core/lock_holders.hpp"
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

// The descriptors rewrites in place have open, each with a serial number
// of its own (a descriptor's number is given again once it is closed),
// and the forks since the process started, all read and changed with
// descriptors_mutex held. A descriptor is closed with it held, so that
// the list always names the open ones at a fork.
std::mutex descriptors_mutex;
std::uint64_t last_serial = 0;
std::uint64_t forks = 0;

using OpenDescriptors = std::vector<std::pair<int, std::uint64_t>>;

OpenDescriptors& open_descriptors() {
  static OpenDescriptors descriptors;
  return descriptors;
}

// The entry of the descriptor with `serial`, or the list's end.
OpenDescriptors::iterator entry_of(std::uint64_t serial) {
  auto& descriptors = open_descriptors();
  for (auto it = descriptors.begin(); it != descriptors.end(); ++it) {
    if (it->second == serial) return it;
  }
  return descriptors.end();
}

// A child of a fork has none of the threads that held turns, and none of
// the rewrites in place: it closes their descriptors, whose open file
// descriptions (and locks) stay the parent's. Both lists are held across
// the fork, so that the child never finds one held by a thread it lacks.
void prepare_for_forks() {
  static std::once_flag once;
  std::call_once(once, [] {
    pthread_atfork(
        [] {
          turns_mutex.lock();
          descriptors_mutex.lock();
          ++forks;
        },
        [] {
          descriptors_mutex.unlock();
          turns_mutex.unlock();
        },
        [] {
          turns().clear();
          for (const auto& descriptor : open_descriptors()) close(descriptor.first);
          open_descriptors().clear();
          descriptors_mutex.unlock();
          turns_mutex.unlock();
        });
  });
}

// How long a lock of a process that started this one may stand in the way.
constexpr std::chrono::seconds kAncestorsMoment{1};

// A moment's wait, then `keep_waiting` is asked (a signal that came at any
// point since runs its handlers); false ends the wait.
void pause(const std::function<bool()>& keep_waiting) {
  constexpr timespec kPause{0, 10'000'000};
  nanosleep(&kPause, nullptr);
  if (keep_waiting && !keep_waiting()) throw common::Interrupted();
}

}  // namespace

RewriteTurn::RewriteTurn(dev_t device, ino_t inode, const std::string& path,
                         const std::function<bool()>& keep_waiting)
    : file_(device, inode) {
  prepare_for_forks();
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

RewriteDescriptor::RewriteDescriptor(const std::string& target) {
  prepare_for_forks();
  for (;;) {
    // Read with the list held: a fork holds it from its count to its end.
    const std::uint64_t before = [] {
      const std::lock_guard<std::mutex> hold(descriptors_mutex);
      return forks;
    }();
    const int fd = open(target.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0) {
      open_error_ = errno;
      return;
    }
    const std::lock_guard<std::mutex> hold(descriptors_mutex);
    // A child forked since the open has a copy the list did not name, and
    // the lock would reach it: open anew, leaving that copy unlocked.
    if (forks != before) {
      close(fd);
      continue;
    }
    fd_ = fd;
    serial_ = ++last_serial;
    open_descriptors().emplace_back(fd, serial_);
    return;
  }
}

RewriteDescriptor::~RewriteDescriptor() {
  if (fd_ < 0) return;
  const std::lock_guard<std::mutex> hold(descriptors_mutex);
  const auto entry = entry_of(serial_);
  if (entry == open_descriptors().end()) return;  // a forked child's, closed at the fork
  close(fd_);
  open_descriptors().erase(entry);
}

bool RewriteDescriptor::still_open() const {
  const std::lock_guard<std::mutex> hold(descriptors_mutex);
  return entry_of(serial_) != open_descriptors().end();
}

int RewriteDescriptor::lock(const std::function<bool()>& keep_waiting) {
  struct stat file {};
  if (fstat(fd_, &file) != 0) return errno;
  // Asked again at every pause rather than waited for in the kernel, which
  // runs no handler and would never grant a lock this process stands in
  // the way of. A POSIX lock of this process's in the way is looked for
  // every time (another of its threads may take one meanwhile, or be
  // found once another's is gone); the descriptors' locks once. Once
  // another's lock has been met, a failing request no longer means that
  // the file system keeps no locks.
  bool busy = false, looked = false;
  pid_t ancestor = 0, not_an_ancestor = 0;  // the last holders told apart
  constexpr auto kUnseen = std::chrono::steady_clock::time_point::max();
  auto ancestor_since = kUnseen;
  for (;; pause(keep_waiting)) {
    if (!still_open()) return EBADF;
    struct flock lock = whole_file_lock();
    if (fcntl(fd_, F_OFD_SETLK, &lock) == 0) return 0;
    const int error = errno;
    if (error == EINTR) continue;
    if (error != EAGAIN && error != EACCES) {
      return !busy && (error == ENOLCK || error == EINVAL) ? 0 : error;
    }
    busy = true;
    struct flock found = whole_file_lock();
    if (fcntl(fd_, F_OFD_GETLK, &found) != 0) return errno;
    if (found.l_type == F_UNLCK) {  // gone meanwhile
      ancestor_since = kUnseen;
      continue;
    }
    const bool posix = found.l_pid == getpid();
    if (!posix && found.l_pid > 0 && found.l_pid != ancestor && found.l_pid != not_an_ancestor) {
      (is_an_ancestor(found.l_pid) ? ancestor : not_an_ancestor) = found.l_pid;
    }
    // A POSIX lock of a process that started this one, held a moment (as
    // while it reads the file), is waited for; held on, its holder is
    // taken to be waiting on this process.
    if (ancestor && found.l_pid == ancestor) {
      const auto now = std::chrono::steady_clock::now();
      if (ancestor_since == kUnseen) ancestor_since = now;
      if (now - ancestor_since >= kAncestorsMoment) return EDEADLK;
      continue;
    }
    ancestor_since = kUnseen;
    if (looked && !posix) continue;
    looked = true;
    const OwnLocks own = own_locks(fd_, file, posix);
    if (own.error) return own.error;
    if (own.posix || !own.descriptions.empty()) {
      bool others = true;
      if (const int failed = others_in_the_way(fd_, own, others)) return failed;
      return others ? EDEADLK : 0;
    }
  }
}

}  // namespace bringup
