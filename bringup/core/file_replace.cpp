#include "bringup/core/file_replace.hpp"

#include <fcntl.h>
#include <limits.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <optional>
#include <utility>

#include "bringup/core/file_attributes.hpp"
#include "bringup/core/rewrite_lock.hpp"
#include "common/process_runner.hpp"

namespace bringup {

namespace {

std::string directory_of(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string base_of(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// realpath(), or an empty text with errno set.
std::string real_path(const std::string& path) {
  char* resolved = realpath(path.c_str(), nullptr);
  if (!resolved) return std::string();
  std::string result(resolved);
  std::free(resolved);
  return result;
}

// The file a plain open of `path` for writing would write: symbolic links
// followed, including a dangling one, whose target is where the file will
// be created. Failures name `path`.
std::string resolve_target(const std::string& path) {
  std::string current = path;
  for (int hops = 0;; ++hops) {
    std::string resolved = real_path(current);
    if (!resolved.empty()) return resolved;
    if (errno != ENOENT) throw common::OsError(errno, path);
    struct stat link {};
    if (lstat(current.c_str(), &link) == 0 && S_ISLNK(link.st_mode)) {
      if (hops >= 40) throw common::OsError(ELOOP, path);
      char target[PATH_MAX];
      ssize_t size = readlink(current.c_str(), target, sizeof target);
      if (size < 0) throw common::OsError(errno, path);
      if (static_cast<std::size_t>(size) == sizeof target) throw common::OsError(ENAMETOOLONG, path);
      std::string next(target, static_cast<std::size_t>(size));
      current = next[0] == '/' ? next : directory_of(current) + "/" + next;
      continue;
    }
    // No file yet: the directory holding it must exist.
    std::string directory = real_path(directory_of(current));
    if (directory.empty()) throw common::OsError(errno, path);
    return (directory == "/" ? "" : directory) + "/" + base_of(current);
  }
}

// The first `length` bytes of `name`, or fewer so as not to end inside a
// UTF-8 character: a cut never leaves a lone lead or continuation byte.
std::string cut_at_character(const std::string& name, std::size_t length) {
  if (length >= name.size()) return name;
  auto continues = [&name](std::size_t at) {
    return (static_cast<unsigned char>(name[at]) & 0xC0) == 0x80;
  };
  // At most three continuation bytes follow a lead byte.
  for (int step = 0; step < 3 && length > 0 && continues(length); ++step) --length;
  return name.substr(0, length);
}

// Creates a new, unused file beside `path` with `mode`, to which the umask
// applies as to any file the process creates. Its name is cut from the
// target's, at a character boundary, to stay within NAME_MAX, so any name
// a plain open accepts can be replaced.
int create_temporary(const std::string& path, mode_t mode, std::string& temporary) {
  const std::string directory = directory_of(path) + "/";
  const std::string base = base_of(path);
  for (int attempt = 0;; ++attempt) {
    const std::string suffix = ".new" + std::to_string(getpid()) + "." + std::to_string(attempt);
    temporary = directory + "." + cut_at_character(base, NAME_MAX - 1 - suffix.size()) + suffix;
    int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd >= 0 || errno != EEXIST || attempt > 100) return fd;
  }
}

// Writes a device, pipe or other non-regular file as a plain write would.
void write_in_place(const std::string& path, const std::string& content) {
  try {
    common::write_file(path, content);
  } catch (const common::OsError& error) {
    throw common::OsError(error.error_number(), path);
  }
}

// The new file takes the old one's owner and group; 0 or errno.
// `in_place` tells an owner this process may not give but keeps by writing
// the old file itself: EPERM, or EINVAL for an owner a user namespace does
// not map.
int give_owner(int fd, const struct stat& old, bool& in_place) {
  struct stat fresh {};
  if (fstat(fd, &fresh) != 0) return errno;
  if ((fresh.st_uid != old.st_uid || fresh.st_gid != old.st_gid) &&
      fchown(fd, old.st_uid, old.st_gid) != 0) {
    in_place = errno == EPERM || errno == EINVAL;
    return errno;
  }
  return 0;
}

// The new file, its owner given and its text written (either clears
// set-ID bits and file capabilities), takes the old one's extended
// attributes (its ACL among them) and then its mode, which sets the ACL's
// mask from the group bits that hold the old mask; 0 or errno. `in_place`
// tells attributes this process cannot all give but keeps by writing the
// old file itself.
int give_attributes(int fd, const struct stat& old, int old_fd, const std::string& target,
                    bool& in_place) {
  if (!carry_extended_attributes(old_fd, target, fd)) {
    in_place = true;
    return ENOTSUP;
  }
  return fchmod(fd, old.st_mode & 07777) != 0 ? errno : 0;
}

int write_all(int fd, const std::string& content) {
  for (std::size_t done = 0; done < content.size();) {
    ssize_t written = write(fd, content.data() + done, content.size() - done);
    if (written < 0) {
      if (errno != EINTR) return errno;
    } else {
      done += static_cast<std::size_t>(written);
    }
  }
  return 0;
}

int pwrite_all(int fd, const std::string& content) {
  for (std::size_t done = 0; done < content.size();) {
    ssize_t written = pwrite(fd, content.data() + done, content.size() - done, static_cast<off_t>(done));
    if (written < 0) {
      if (errno != EINTR) return errno;
    } else {
      done += static_cast<std::size_t>(written);
    }
  }
  return 0;
}

// Reads to the end of the file; 0 or errno.
int read_all(int fd, std::string& content) {
  char buffer[8192];
  for (;;) {
    ssize_t got = read(fd, buffer, sizeof buffer);
    if (got < 0) {
      if (errno != EINTR) return errno;
    } else if (got == 0) {
      return 0;
    } else {
      content.append(buffer, static_cast<std::size_t>(got));
    }
  }
}

// Takes the space for `size` bytes before a byte changes, so that a full
// disk refuses with the old text whole; 0 or errno. The file keeps its
// length: a file system that finds room for part of the space would
// otherwise lengthen the file. One that cannot take space ahead leaves
// the write to find out.
int reserve(int fd, std::size_t size) {
  if (fallocate(fd, FALLOC_FL_KEEP_SIZE, 0, static_cast<off_t>(size)) == 0) return 0;
  return errno == EOPNOTSUPP || errno == ENOSYS ? 0 : errno;
}

// `content` over the file's present text; 0 or errno.
int overwrite(int fd, const std::string& content) {
  if (int error = pwrite_all(fd, content)) return error;
  if (ftruncate(fd, static_cast<off_t>(content.size())) != 0) return errno;
  return fsync(fd) != 0 ? errno : 0;
}

// Whether `a` and `b` describe one file.
bool same_file(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Whether `fd` is open on the file `old` describes; a failure to look
// names `path`.
bool is_the_file(int fd, const struct stat& old, const std::string& path) {
  struct stat now {};
  if (fstat(fd, &now) != 0) throw common::OsError(errno, path);
  return same_file(now, old);
}

// Rewrites the existing regular file itself, which keeps its inode, owner,
// mode, attributes and other links, for where no new file can take its
// place. It ends either wholly new or, put back from the copy read first,
// wholly old; a file that cannot be read whole (a read error, or a text
// shorter than the file's size: a short read, or a file that shrank
// meanwhile) is refused untouched, as its text could not be put back. A
// text that grew while it was read (another process appending) is whole.
// Other rewrites in place wait from the read of the old text to the flush
// of the new one. A file other than `turns_file`, whose turn the rewrite
// holds, is begun again at: the name was given it meanwhile.
void overwrite_in_place(const std::string& target, const struct stat& turns_file, const std::string& content,
                        const std::string& path, const std::function<bool()>& keep_waiting) {
  RewriteDescriptor file(target);
  if (file.open_error()) throw common::OsError(file.open_error(), path);
  if (!is_the_file(file.fd(), turns_file, path)) throw RewriteStartsOver();
  if (const int refused = file.lock(keep_waiting)) throw common::OsError(refused, path);
  const int fd = file.fd();
  struct stat before {};
  std::string old;
  int error = fstat(fd, &before) != 0 ? errno : read_all(fd, old);
  if (!error && old.size() < static_cast<std::size_t>(before.st_size)) {
    throw ReplaceError(EIO, path, kChangedWhileRead);
  }
  if (!error && content.size() > old.size()) error = reserve(fd, content.size());
  if (error) throw common::OsError(error, path);
  // From here a byte may have changed: a failure puts the old text back.
  const int failure = overwrite(fd, content);
  if (!failure) return;
  // The old text fits the space it held.
  const bool restored = pwrite_all(fd, old) == 0 && ftruncate(fd, static_cast<off_t>(old.size())) == 0 &&
                        fsync(fd) == 0;
  if (!restored) throw ReplaceError(failure, path, kMayBeDamaged);
  throw common::OsError(failure, path);
}

// Removes the temporary file after `failure` (an errno); when it cannot
// go, the error raised for `failure` names the file left behind.
void remove_temporary(const std::string& temporary, int failure, const std::string& path) {
  if (unlink(temporary.c_str()) != 0) throw TemporaryLeftError(failure, path, temporary, errno);
}

// Removes the temporary file before the in-place rewrite takes over; when
// it cannot go, the removal's own error is raised, naming the file left.
void drop_temporary(const std::string& temporary, const std::string& path) {
  if (unlink(temporary.c_str()) != 0) throw TemporaryLeftError(errno, path, temporary, 0);
}

// Flushes the directory, so that the rename survives a power loss. A
// directory this process may not read cannot be flushed by it, and a file
// system that cannot flush directories answers EINVAL: both are left as
// they are. Any other failure comes after the new text is in place, and
// says so.
void sync_directory(const std::string& target, const std::string& path) {
  int fd = open(directory_of(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) {
    if (errno == EACCES) return;
    throw ReplaceError(errno, path, kNewTextInPlace);
  }
  const int failure = fsync(fd) != 0 ? errno : 0;
  close(fd);
  if (failure && failure != EINVAL) throw ReplaceError(failure, path, kNewTextInPlace);
}

// A read-only descriptor on the file if it exists, -1 when it does not or
// may not be read. It is opened through the name the caller gave, with
// O_CREAT, as a plain open for writing is, so that the kernel's guard
// against files planted in sticky folders (fs.protected_regular) judges
// it as it would judge that open, at whatever setting, and by the same
// name: a file reached through /proc (/dev/stdout, /dev/fd/N) is not
// guarded. `guarded` then tells its refusal (EACCES with O_CREAT, none
// without), and `error` any other failure to ask, which refuses the write
// as well; a lease (EWOULDBLOCK) is met only once the guard has let the
// open by.
struct ReadOnlyFile {
  ReadOnlyFile(const std::string& path, bool exists) {
    if (!exists) return;
    constexpr int kReadOnly = O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
    fd = open(path.c_str(), kReadOnly | O_CREAT, 0666);
    if (fd >= 0 || errno == EWOULDBLOCK) return;
    if (errno != EACCES) {
      error = errno;
      return;
    }
    // Let by without O_CREAT (a lease is met after the permission check):
    // the guard refused it. Refused again: the file may not be read, which
    // says nothing of writing it. Any other failure leaves the guard unasked.
    fd = open(path.c_str(), kReadOnly);
    guarded = fd >= 0 || errno == EWOULDBLOCK;
    if (fd < 0 && !guarded && errno != EACCES) error = errno;
  }
  ~ReadOnlyFile() {
    if (fd >= 0) close(fd);
  }
  ReadOnlyFile(const ReadOnlyFile&) = delete;
  ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;
  int fd = -1;
  bool guarded = false;
  int error = 0;
};

// Refuses, untouched, an existing file a plain open for writing would
// refuse, with the error it would give (replacing it needs only the
// directory's permission), without opening it for writing: that alone
// would tell watchers it was written and break other processes' leases.
// The access check with the effective ids and capabilities covers modes,
// ACLs, read-only mounts and immutable files; the flags, read through
// `old`, append-only ones. Flags that cannot be read are left to the
// rename or the in-place open, which refuse such a file as well. The
// sticky-folder guard was asked when `old` was opened.
void check_writable(const std::string& target, const ReadOnlyFile& old, const std::string& path) {
  if (old.guarded) throw common::OsError(EACCES, path);
  if (old.error) throw common::OsError(old.error, path);
  if (faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0) throw common::OsError(errno, path);
  int flags = 0;
  if (old.fd >= 0 && ioctl(old.fd, FS_IOC_GETFLAGS, &flags) == 0 && (flags & FS_APPEND_FL)) {
    throw common::OsError(EPERM, path);
  }
}

}  // namespace

const char* const kNewTextInPlace = "the new text is in place but its folder could not be flushed";
const char* const kMayBeDamaged =
    "the old text could not be put back either: the file may be damaged";
const char* const kChangedWhileRead = "the file changed while it was read";

ReplaceError::ReplaceError(int error_number, std::string path, std::string note)
    : common::OsError(error_number, std::move(path)), note_(std::move(note)) {}

TemporaryLeftError::TemporaryLeftError(int error_number, std::string path, std::string temporary,
                                       int removal_error)
    : common::OsError(error_number, std::move(path)),
      temporary_(std::move(temporary)),
      removal_error_(removal_error) {}

namespace {

// Whether `path` reaches the file `old` describes.
bool still_reaches(const std::string& path, const struct stat& old) {
  struct stat now {};
  return stat(path.c_str(), &now) == 0 && same_file(now, old);
}

// replace_file, once: RewriteStartsOver where it must begin again.
void replace_once(const std::string& path, const std::string& content,
                  const std::function<bool()>& keep_waiting) {
  // The file a plain open reaches: the kernel follows every link, those of
  // /proc to pipes and to open files included.
  struct stat old {};
  const bool exists = stat(path.c_str(), &old) == 0;
  // Only a file that is not there is no file: any other failure would
  // lose its owner and mode.
  if (!exists && errno != ENOENT) throw common::OsError(errno, path);
  // A device, pipe, socket or directory is not replaced: written (or
  // refused) as is.
  if (exists && !S_ISREG(old.st_mode)) return write_in_place(path, content);
  std::optional<RewriteTurn> turn;
  if (exists) {
    turn.emplace(old.st_dev, old.st_ino, path, keep_waiting);
    // Another rewrite may have put a new file under the name meanwhile:
    // its turn is the one to hold.
    if (!still_reaches(path, old)) throw RewriteStartsOver();
  }
  const std::string target = resolve_target(path);
  if (exists) {
    // A file only the kernel's links reach (an open file deleted or moved
    // since) has no name to replace it under.
    if (!still_reaches(target, old)) return overwrite_in_place(path, old, content, path, keep_waiting);
  }
  const ReadOnlyFile old_file(path, exists);
  if (old_file.fd >= 0 && !is_the_file(old_file.fd, old, path)) throw RewriteStartsOver();
  if (exists) check_writable(target, old_file, path);
  // Another link would keep the old text.
  if (exists && old.st_nlink > 1) return overwrite_in_place(target, old, content, path, keep_waiting);
  std::string temporary;
  // A replacement is its owner's alone until it has the old file's
  // attributes: no one gains access meanwhile.
  int fd = create_temporary(target, exists ? 0600 : 0666, temporary);
  if (fd < 0) {
    const int error = errno;
    // A directory this process may not change: the file itself may still be
    // writable, as a plain write would find (a file not there yet cannot be
    // created).
    if (exists && (error == EACCES || error == EPERM || error == EROFS)) {
      return overwrite_in_place(target, old, content, path, keep_waiting);
    }
    throw common::OsError(error, path);
  }
  bool in_place = false;
  int failure = exists ? give_owner(fd, old, in_place) : 0;
  if (!failure) failure = write_all(fd, content);
  if (!failure && exists) failure = give_attributes(fd, old, old_file.fd, target, in_place);
  if (in_place) {
    // Not allowed to give the new file all the old one has: write the old
    // file itself, which keeps it.
    close(fd);
    drop_temporary(temporary, path);
    return overwrite_in_place(target, old, content, path, keep_waiting);
  }
  if (!failure && fsync(fd) != 0) failure = errno;
  if (close(fd) != 0 && !failure) failure = errno;
  if (!failure && rename(temporary.c_str(), target.c_str()) != 0) {
    failure = errno;
    // A file that is a mount point of its own (EBUSY), or that the file
    // system will not rename onto (EXDEV), can still be written as it is.
    if (exists && (failure == EBUSY || failure == EXDEV)) {
      drop_temporary(temporary, path);
      return overwrite_in_place(target, old, content, path, keep_waiting);
    }
  }
  if (failure) {
    remove_temporary(temporary, failure, path);
    throw common::OsError(failure, path);
  }
  sync_directory(target, path);
}

}  // namespace

void replace_file(const std::string& path, const std::string& content,
                  const std::function<bool()>& keep_waiting) {
  if (path.empty()) throw common::OsError(ENOENT, path);
  for (;;) {
    try {
      return replace_once(path, content, keep_waiting);
    } catch (const RewriteStartsOver&) {
      // Begun again from the name, holding nothing of the first attempt.
    }
  }
}

}  // namespace bringup
