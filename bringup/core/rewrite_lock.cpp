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

// The files this process's rewrites hold their turn at, each with the
// thread that holds it and the serial number of that taking of the turn.
std::mutex turns_mutex;
std::uint64_t last_turn = 0;

struct TurnHolder {
  std::thread::id thread;
  std::uint64_t serial;
};

std::map<std::pair<dev_t, ino_t>, TurnHolder>& turns() {
  static std::map<std::pair<dev_t, ino_t>, TurnHolder> files;
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

// A moment's wait, then `keep_waiting` is asked (a signal that came at any
// point since runs its handlers); false ends the wait.
void pause(const std::function<bool()>& keep_waiting) {
  constexpr timespec kPause{0, 10'000'000};
  nanosleep(&kPause, nullptr);
  if (keep_waiting && !keep_waiting()) throw common::Interrupted();
}

// Asks for an exclusive lock on the whole file, owned by `fd`'s open file
// description: 0 when it is granted, or the request's errno.
int request_lock(int fd) {
  for (;;) {
    struct flock lock = whole_file_lock();
    if (fcntl(fd, F_OFD_SETLK, &lock) == 0) return 0;
    if (errno != EINTR) return errno;
  }
}

// Whether `fd` is the descriptor of one of this process's rewrites in
// place, whose locks are another rewrite's to wait for, not the caller's.
bool is_a_rewrites(int fd) {
  const std::lock_guard<std::mutex> hold(descriptors_mutex);
  for (const auto& descriptor : open_descriptors()) {
    if (descriptor.first == fd) return true;
  }
  return false;
}

// Who holds a lock a rewrite met.
enum class Holder {
  kGone,         // none any more
  kThisProcess,  // the caller: a POSIX lock of this process, or its descriptors'
  kStarter,      // a process that started this one, by a POSIX lock
  kAnother,      // another process, or another rewrite of this one
};

// Tells the holders of the locks one wait meets, remembering what it
// learned between its pauses: the last holders told to have started this
// process or not, and the caller's own locks. A POSIX lock of this process
// is looked for every time (another of its threads may take one
// meanwhile, or be found once another's is gone); the descriptors' locks
// once.
class HolderTeller {
 public:
  explicit HolderTeller(const struct stat& file) : file_(file) {}

  // Who holds `found`, the lock a query reported: 0, or the errno of a
  // failed look at the caller's own locks.
  int tell(const struct flock& found, Holder& holder) {
    if (found.l_type == F_UNLCK) {
      holder = Holder::kGone;
      return 0;
    }
    const bool posix = found.l_pid == getpid();
    if (!posix && found.l_pid > 0 && found.l_pid != starter_ && found.l_pid != not_a_starter_) {
      (is_an_ancestor(found.l_pid) ? starter_ : not_a_starter_) = found.l_pid;
    }
    if (starter_ && found.l_pid == starter_) {
      holder = Holder::kStarter;
      return 0;
    }
    holder = Holder::kAnother;
    if (looked_ && !posix) return 0;
    looked_ = true;
    own_ = own_locks(is_a_rewrites, file_, posix);
    if (own_.error) return own_.error;
    if (own_.posix || !own_.descriptions.empty()) holder = Holder::kThisProcess;
    return 0;
  }

  // The caller's own locks, as last looked at.
  const OwnLocks& own() const { return own_; }

 private:
  const struct stat file_;
  pid_t starter_ = 0, not_a_starter_ = 0;
  bool looked_ = false;
  OwnLocks own_;
};

// How long a starter's lock has stood in the way without a break.
class StartersMoment {
 public:
  // Whether it has stood a second; the first call starts the count.
  bool passed() {
    const auto now = std::chrono::steady_clock::now();
    if (since_ == kUnseen) since_ = now;
    return now - since_ >= std::chrono::seconds(1);
  }
  void reset() { since_ = kUnseen; }

 private:
  static constexpr auto kUnseen = std::chrono::steady_clock::time_point::max();
  std::chrono::steady_clock::time_point since_ = kUnseen;
};

}  // namespace

RewriteTurn::RewriteTurn(dev_t device, ino_t inode, const std::string& path,
                         const std::function<bool()>& keep_waiting)
    : file_(device, inode) {
  prepare_for_forks();
  for (;; pause(keep_waiting)) {
    const std::lock_guard<std::mutex> hold(turns_mutex);
    const auto [holder, taken] = turns().emplace(file_, TurnHolder{std::this_thread::get_id(), 0});
    if (taken) {
      serial_ = holder->second.serial = ++last_turn;
      return;
    }
    if (holder->second.thread == std::this_thread::get_id()) throw common::OsError(EDEADLK, path);
  }
}

RewriteTurn::~RewriteTurn() {
  const std::lock_guard<std::mutex> hold(turns_mutex);
  // A child forked meanwhile has none of the parent's turns, and may have
  // taken this file's anew.
  const auto holder = turns().find(file_);
  if (holder != turns().end() && holder->second.serial == serial_) turns().erase(holder);
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
  // the way of. Once another's lock has been met, a failing request no
  // longer means that the file system keeps no locks.
  HolderTeller teller(file);
  StartersMoment starters_moment;
  bool met = false;
  for (;; pause(keep_waiting)) {
    if (!still_open()) throw RewriteStartsOver();
    // Ask for the lock.
    const int refused = request_lock(fd_);
    if (!refused) return 0;
    if (refused != EAGAIN && refused != EACCES) {
      return !met && (refused == ENOLCK || refused == EINVAL) ? 0 : refused;
    }
    met = true;
    // Tell who holds the lock in the way.
    struct flock found = whole_file_lock();
    if (fcntl(fd_, F_OFD_GETLK, &found) != 0) return errno;
    Holder holder = Holder::kGone;
    if (const int failed = teller.tell(found, holder)) return failed;
    // Act: wait for another's (a starter's a second at most); where the
    // caller's own locks stand in the way, go on unlocked if they alone do,
    // or refuse.
    if (holder == Holder::kStarter) {
      if (starters_moment.passed()) return EDEADLK;
      continue;
    }
    starters_moment.reset();
    if (holder == Holder::kThisProcess) {
      bool others = true;
      if (const int failed = others_in_the_way(fd_, teller.own(), others)) return failed;
      return others ? EDEADLK : 0;
    }
  }
}

}  // namespace bringup
