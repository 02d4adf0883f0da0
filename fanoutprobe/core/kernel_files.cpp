#include "fanoutprobe/core/kernel_files.hpp"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace fanoutprobe {

std::optional<std::string> read_regular_file(const std::string& path) {
  struct stat status;
  if (stat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode)) return std::nullopt;
  int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  std::string content;
  char buffer[65536];
  for (;;) {
    ssize_t count = read(fd, buffer, sizeof buffer);
    if (count < 0 && errno == EINTR) continue;
    if (count <= 0) break;
    content.append(buffer, static_cast<std::size_t>(count));
  }
  close(fd);
  return content;
}

bool is_directory(const std::string& path) {
  struct stat status;
  return stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

std::optional<std::vector<std::string>> list_directory(const std::string& path) {
  DIR* listing = opendir(path.c_str());
  if (!listing) return std::nullopt;
  std::vector<std::string> names;
  errno = 0;
  while (dirent* entry = readdir(listing)) {
    std::string name = entry->d_name;
    if (name != "." && name != "..") names.push_back(std::move(name));
  }
  bool failed = errno != 0;
  closedir(listing);
  if (failed) return std::nullopt;
  return names;
}

}  // namespace fanoutprobe
