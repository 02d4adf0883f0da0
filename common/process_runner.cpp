#include "common/process_runner.hpp"

#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

extern char** environ;

namespace common {

OsError::OsError(int error_number, std::string filename)
    : std::runtime_error(std::strerror(error_number) + (": " + filename)),
      error_number_(error_number),
      filename_(std::move(filename)) {}

namespace {

std::string describe_exit(const std::vector<std::string>& argv, int status) {
  std::string text = "command '" + (argv.empty() ? std::string() : argv.front()) + "' ";
  if (status < 0) return text + "died with signal " + std::to_string(-status);
  return text + "returned non-zero exit status " + std::to_string(status);
}

// One descriptor, closed when it goes out of scope.
class Descriptor {
 public:
  Descriptor() = default;
  explicit Descriptor(int fd) : fd_(fd) {}
  ~Descriptor() { close(); }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  Descriptor(Descriptor&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
  Descriptor& operator=(Descriptor&& other) noexcept {
    if (this != &other) {
      close();
      fd_ = std::exchange(other.fd_, -1);
    }
    return *this;
  }

  int get() const { return fd_; }
  void close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
  }
  // Closes now and reports the failure a delayed write may show only here.
  int close_checked() { return ::close(std::exchange(fd_, -1)); }

 private:
  int fd_ = -1;
};

// The spawn attributes and file actions, released on every path.
class SpawnSetup {
 public:
  SpawnSetup() {
    posix_spawn_file_actions_init(&actions_);
    posix_spawnattr_init(&attributes_);
  }
  ~SpawnSetup() {
    posix_spawn_file_actions_destroy(&actions_);
    posix_spawnattr_destroy(&attributes_);
  }
  SpawnSetup(const SpawnSetup&) = delete;
  SpawnSetup& operator=(const SpawnSetup&) = delete;

  posix_spawn_file_actions_t* actions() { return &actions_; }
  posix_spawnattr_t* attributes() { return &attributes_; }

 private:
  posix_spawn_file_actions_t actions_;
  posix_spawnattr_t attributes_;
};

// A pipe whose ends are not inherited by any program started later.
std::pair<Descriptor, Descriptor> make_pipe() {
  int ends[2];
  if (pipe2(ends, O_CLOEXEC) != 0) throw OsError(errno, "pipe");
  return {Descriptor(ends[0]), Descriptor(ends[1])};
}

// The program starts with an empty signal mask and default handling of the
// signals a host process commonly ignores.
void reset_signals(posix_spawnattr_t* attributes) {
  sigset_t defaults, empty;
  sigemptyset(&defaults);
  sigaddset(&defaults, SIGPIPE);
  sigaddset(&defaults, SIGXFSZ);
  sigemptyset(&empty);
  posix_spawnattr_setsigdefault(attributes, &defaults);
  posix_spawnattr_setsigmask(attributes, &empty);
  posix_spawnattr_setflags(attributes, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);
}

// Whether to go on after a signal interrupted the wait.
bool keep_waiting(const ProcessOptions& options) {
  return !options.keep_waiting || options.keep_waiting();
}

// Reads every captured stream until all are closed, so the program never
// blocks on a full pipe.
void drain(std::vector<std::pair<int, std::string*>> sources, const ProcessOptions& options) {
  char buffer[65536];
  while (!sources.empty()) {
    std::vector<pollfd> watched;
    for (const auto& source : sources) watched.push_back({source.first, POLLIN, 0});
    if (poll(watched.data(), watched.size(), -1) < 0) {
      if (errno != EINTR) throw OsError(errno, "poll");
      if (!keep_waiting(options)) throw Interrupted();
      continue;
    }
    for (std::size_t i = watched.size(); i-- > 0;) {
      if (watched[i].revents == 0) continue;
      ssize_t count = read(watched[i].fd, buffer, sizeof buffer);
      if (count < 0 && errno == EINTR) continue;
      if (count < 0) throw OsError(errno, "read");
      if (count == 0) {
        sources.erase(sources.begin() + static_cast<std::ptrdiff_t>(i));
      } else {
        sources[i].second->append(buffer, static_cast<std::size_t>(count));
      }
    }
  }
}

// Waits for the program's end; a wait given up kills the program first.
int wait_for(pid_t pid, const ProcessOptions& options) {
  int raw = 0;
  while (waitpid(pid, &raw, 0) < 0) {
    if (errno != EINTR) throw OsError(errno, "waitpid");
    if (!keep_waiting(options)) {
      kill(pid, SIGKILL);
      wait_for(pid, ProcessOptions());
      throw Interrupted();
    }
  }
  if (WIFSIGNALED(raw)) return -WTERMSIG(raw);
  return WEXITSTATUS(raw);
}

}  // namespace

ExitStatusError::ExitStatusError(std::vector<std::string> argv, int status)
    : std::runtime_error(describe_exit(argv, status)), argv_(std::move(argv)), status_(status) {}

ProcessResult run_process(const std::vector<std::string>& argv, const ProcessOptions& options) {
  if (argv.empty()) throw std::invalid_argument("run_process: empty argument vector");
  // A NUL would silently end the word the program sees, as the host refuses.
  for (const std::string& word : argv) {
    if (word.find('\0') != std::string::npos) throw std::invalid_argument("embedded null byte");
  }
  if (options.input == Stream::kCapture) {
    throw std::invalid_argument("run_process: standard input cannot be captured");
  }

  SpawnSetup setup;
  reset_signals(setup.attributes());

  const Stream streams[3] = {options.input, options.output, options.errors};
  Descriptor read_ends[3];
  Descriptor write_ends[3];
  for (int fd = 0; fd < 3; ++fd) {
    if (streams[fd] == Stream::kNull) {
      posix_spawn_file_actions_addopen(setup.actions(), fd, "/dev/null", O_RDWR, 0);
    } else if (streams[fd] == Stream::kCapture) {
      auto ends = make_pipe();
      posix_spawn_file_actions_adddup2(setup.actions(), ends.second.get(), fd);
      read_ends[fd] = std::move(ends.first);
      write_ends[fd] = std::move(ends.second);
    }
  }
  // Only the three standard streams reach the program.
  posix_spawn_file_actions_addclosefrom_np(setup.actions(), 3);

  std::vector<char*> arguments;
  for (const std::string& word : argv) arguments.push_back(const_cast<char*>(word.c_str()));
  arguments.push_back(nullptr);

  pid_t pid = 0;
  int failure = posix_spawnp(&pid, arguments[0], setup.actions(), setup.attributes(),
                             arguments.data(), environ);
  if (failure != 0) throw OsError(failure, argv[0]);
  for (Descriptor& end : write_ends) end.close();

  ProcessResult result;
  std::vector<std::pair<int, std::string*>> sources;
  if (read_ends[1].get() >= 0) sources.emplace_back(read_ends[1].get(), &result.output);
  if (read_ends[2].get() >= 0) sources.emplace_back(read_ends[2].get(), &result.errors);
  try {
    drain(sources, options);
  } catch (const Interrupted&) {
    for (Descriptor& end : read_ends) end.close();
    kill(pid, SIGKILL);
    wait_for(pid, ProcessOptions());
    throw;
  } catch (...) {
    for (Descriptor& end : read_ends) end.close();
    wait_for(pid, ProcessOptions());  // never leave the program unreaped
    throw;
  }
  result.status = wait_for(pid, options);
  return result;
}

void check_exit_status(const std::vector<std::string>& argv, const ProcessResult& result) {
  if (result.status != 0) throw ExitStatusError(argv, result.status);
}

namespace {

// Removes everything below the open directory `fd`, never following a
// symbolic link; `path` names it in errors.
void remove_contents(int fd, const std::string& path) {
  int listing_fd = dup(fd);
  if (listing_fd < 0) throw OsError(errno, path);
  DIR* listing = fdopendir(listing_fd);
  if (!listing) {
    int error = errno;
    ::close(listing_fd);
    throw OsError(error, path);
  }
  std::vector<std::string> names;
  errno = 0;
  while (dirent* entry = readdir(listing)) {
    std::string name = entry->d_name;
    if (name != "." && name != "..") names.push_back(name);
  }
  int error = errno;
  closedir(listing);
  if (error != 0) throw OsError(error, path);

  for (const std::string& name : names) {
    const std::string child = path + "/" + name;
    // The entry itself decides (a link is never followed), so a directory
    // that cannot be opened is reported as such.
    struct stat info{};
    if (fstatat(fd, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) throw OsError(errno, child);
    if (S_ISDIR(info.st_mode)) {
      int child_fd = openat(fd, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
      if (child_fd < 0) throw OsError(errno, child);
      Descriptor child_dir(child_fd);
      remove_contents(child_dir.get(), child);
      child_dir.close();
      if (unlinkat(fd, name.c_str(), AT_REMOVEDIR) != 0) throw OsError(errno, child);
    } else if (unlinkat(fd, name.c_str(), 0) != 0) {
      throw OsError(errno, child);
    }
  }
}

void remove_tree(const std::string& path) {
  int fd = open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) throw OsError(errno, path);
  Descriptor directory(fd);
  remove_contents(directory.get(), path);
  directory.close();
  if (rmdir(path.c_str()) != 0) throw OsError(errno, path);
}

}  // namespace

PrivateDirectory::PrivateDirectory(const std::string& parent) {
  std::string pattern = parent + "/tmpXXXXXX";
  std::vector<char> buffer(pattern.begin(), pattern.end());
  buffer.push_back('\0');
  // mkdtemp creates the directory with mode 0700.
  if (!mkdtemp(buffer.data())) throw OsError(errno, parent);
  path_ = buffer.data();
}

PrivateDirectory::~PrivateDirectory() {
  if (removed_) return;
  try {
    remove_tree(path_);
  } catch (const OsError&) {
    // Destructors run while another failure is on its way; that one wins.
  }
}

void PrivateDirectory::remove() {
  removed_ = true;  // one attempt: a failure is reported, not repeated
  remove_tree(path_);
}

void write_file(const std::string& path, const std::string& content) {
  int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) throw OsError(errno, path);
  Descriptor file(fd);
  std::size_t done = 0;
  while (done < content.size()) {
    ssize_t count = write(file.get(), content.data() + done, content.size() - done);
    if (count < 0 && errno == EINTR) continue;
    if (count < 0) throw OsError(errno, path);
    done += static_cast<std::size_t>(count);
  }
  if (file.close_checked() != 0) throw OsError(errno, path);
}

std::string read_file(const std::string& path) {
  int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) throw OsError(errno, path);
  Descriptor file(fd);
  std::string content;
  char buffer[65536];
  for (;;) {
    ssize_t count = read(file.get(), buffer, sizeof buffer);
    if (count < 0 && errno == EINTR) continue;
    if (count < 0) throw OsError(errno, path);
    if (count == 0) break;
    content.append(buffer, static_cast<std::size_t>(count));
  }
  return content;
}

}  // namespace common
