#include "bringup/core/file_attributes.hpp"

#include <attr/libattr.h>
#include <sys/types.h>
#include <sys/xattr.h>

#include <cerrno>
#include <set>

namespace bringup {

namespace {

// The names `list` (a listxattr call) gives; false when it fails. A file
// system without extended attributes has none.
template <typename List>
bool names_of(List list, std::set<std::string>& names) {
  for (;;) {
    ssize_t size = list(nullptr, 0);
    if (size < 0) return errno == ENOTSUP;
    if (size == 0) return true;
    std::string buffer(static_cast<std::size_t>(size), '\0');
    size = list(buffer.data(), buffer.size());
    if (size < 0 && errno == ERANGE) continue;  // one was added meanwhile
    if (size < 0) return false;
    buffer.resize(static_cast<std::size_t>(size));
    for (std::size_t at = 0; at < buffer.size();) {
      std::size_t end = buffer.find('\0', at);
      if (end == std::string::npos) end = buffer.size();
      if (end > at) names.emplace(buffer, at, end - at);
      at = end + 1;
    }
    return true;
  }
}

// Every attribute is carried, the ACL included, as a plain open keeps them.
int every_attribute(const char*, struct error_context*) { return 1; }

}  // namespace

bool carry_extended_attributes(int source, const std::string& source_path, int destination) {
  std::set<std::string> kept;
  if (source >= 0) {
    if (!names_of([source](char* names, std::size_t size) { return flistxattr(source, names, size); },
                  kept)) {
      return false;
    }
    if (!kept.empty() &&
        attr_copy_fd(source_path.c_str(), source, "", destination, every_attribute, nullptr) != 0) {
      return false;
    }
  } else {
    // Attributes of a file that may not be read cannot all be read either:
    // only a file that has none is matched.
    const char* path = source_path.c_str();
    if (!names_of([path](char* names, std::size_t size) { return llistxattr(path, names, size); },
                  kept) ||
        !kept.empty()) {
      return false;
    }
  }
  std::set<std::string> given;
  if (!names_of([destination](char* names, std::size_t size) { return flistxattr(destination, names, size); },
                given)) {
    return false;
  }
  for (const std::string& name : given) {
    if (!kept.count(name) && fremovexattr(destination, name.c_str()) != 0) return false;
  }
  return true;
}

}  // namespace bringup
