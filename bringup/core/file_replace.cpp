#include "bringup/core/file_replace.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "common/process_runner.hpp"

namespace bringup {

namespace {

// Creates a new, unused file beside `path`; the umask applies to its mode
// as to any file the process creates.
int create_temporary(const std::string& path, std::string& temporary) {
  const std::size_t slash = path.rfind('/');
  const std::string directory = slash == std::string::npos ? "" : path.substr(0, slash + 1);
  const std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
  for (int attempt = 0;; ++attempt) {
    temporary = directory + "." + base + ".new" + std::to_string(getpid()) + "." + std::to_string(attempt);
    int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST || attempt > 100) return fd;
  }
}

}  // namespace

void replace_file(const std::string& path, const std::string& content) {
  std::string temporary;
  int fd = create_temporary(path, temporary);
  if (fd < 0) throw common::OsError(errno, temporary);
  int failure = 0;
  std::string failed_path = temporary;
  struct stat old {};
  if (stat(path.c_str(), &old) == 0 && fchmod(fd, old.st_mode & 07777) != 0) failure = errno;
  for (std::size_t done = 0; !failure && done < content.size();) {
    ssize_t written = write(fd, content.data() + done, content.size() - done);
    if (written < 0) {
      if (errno != EINTR) failure = errno;
    } else {
      done += static_cast<std::size_t>(written);
    }
  }
  if (close(fd) != 0 && !failure) failure = errno;
  if (!failure && rename(temporary.c_str(), path.c_str()) != 0) {
    failure = errno;
    failed_path = path;
  }
  if (failure) {
    unlink(temporary.c_str());
    throw common::OsError(failure, failed_path);
  }
}

}  // namespace bringup
