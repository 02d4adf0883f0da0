/* Preloaded into a test's child process, makes chosen libc calls on files
 * under one directory fail, so that the file-writing paths can be tested
 * against faults a real disk gives only at random.
 *
 *   WRITE_FAULTS="call:nth:errno[,call:nth:errno...]"  e.g. "read:2:5"
 *   WRITE_FAULTS_UNDER=/some/directory
 *
 * The nth call (counted from 1) of `call` on a path beginning with the
 * directory fails with errno; every other call goes through. Calls:
 * open, read, write, pwrite, fsync (a file), fsyncdir (fsync of a
 * directory), fallocate (posix_fallocate too), fchown, fsetxattr, rename
 * (either path), unlink, stat, lock (an F_OFD_SETLK request of fcntl).
 * fdinfo counts the opens of any /proc/self/fdinfo/ entry, wherever the
 * file it describes lies. Two more count reads too: readeof's nth read gives
 * end of file (0 bytes, errno field unused), as a file that shrank
 * meanwhile would; before append's nth read, errno-field bytes are
 * appended to the file through a descriptor of its own, as another
 * process appending meanwhile would. slowftruncate's nth ftruncate waits
 * errno-field milliseconds before it truncates, as a writer set aside by
 * the scheduler would; slowrdwr's nth open for reading and writing waits
 * so before it opens. Two entries may name the same call. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <stdarg.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

enum { kMaxFaults = 8 };

struct fault {
  char call[16];
  int nth, error, seen;
};

static struct fault faults[kMaxFaults];
static int fault_count = -1;
static const char* under;

static void load(void) {
  if (fault_count >= 0) return;
  fault_count = 0;
  under = getenv("WRITE_FAULTS_UNDER");
  const char* setting = getenv("WRITE_FAULTS");
  while (setting && *setting && fault_count < kMaxFaults) {
    struct fault* f = &faults[fault_count];
    int used = 0;
    if (sscanf(setting, "%15[a-z]:%d:%d%n", f->call, &f->nth, &f->error, &used) != 3) {
      fprintf(stderr, "write_faults: bad WRITE_FAULTS at \"%s\"\n", setting);
      abort();
    }
    ++fault_count;
    setting += used;
    if (*setting == ',') ++setting;
  }
}

static int concerned(const char* path) {
  return under && path && strncmp(path, under, strlen(under)) == 0;
}

static int fd_concerned(int fd) {
  char link[64], path[4096];
  snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
  ssize_t size = readlink(link, path, sizeof path - 1);
  if (size < 0) return 0;
  path[size] = '\0';
  return concerned(path);
}

/* 1 (errno set) when this call is to fail. Every entry naming the call
 * counts it. */
static int injected(const char* call) {
  int hit = 0;
  for (int i = 0; i < fault_count; ++i) {
    struct fault* f = &faults[i];
    if (strcmp(f->call, call) == 0 && ++f->seen == f->nth && !hit) {
      errno = f->error;
      hit = 1;
    }
  }
  return hit;
}

#define NEXT(name) ((__typeof__(&name))dlsym(RTLD_NEXT, #name))

/* Appends `count` bytes to the file open as `fd`, or aborts. */
static void append_to(int fd, int count) {
  char link[64];
  snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
  int other = open(link, O_WRONLY | O_APPEND | O_CLOEXEC);
  for (int i = 0; i < count; ++i) {
    if (other < 0 || NEXT(write)(other, "+", 1) != 1) abort();
  }
  close(other);
}

/* Waits before an open for reading and writing when slowrdwr says so. */
static void open_delay(void) {
  const int saved = errno;
  if (injected("slowrdwr")) usleep((useconds_t)errno * 1000);
  errno = saved;
}

/* The mode is passed on only where the flags say there is one. */
#define OPEN_WRAPPER(name)                                             \
  int name(const char* path, int flags, ...) {                          \
    mode_t mode = 0;                                                    \
    if (flags & (O_CREAT | O_TMPFILE)) {                                \
      va_list arguments;                                                \
      va_start(arguments, flags);                                       \
      mode = va_arg(arguments, mode_t);                                 \
      va_end(arguments);                                                \
    }                                                                   \
    load();                                                             \
    if (fault_count && concerned(path) && injected("open")) return -1;  \
    if (fault_count && concerned(path) && (flags & O_ACCMODE) == O_RDWR) \
      open_delay();                                                     \
    if (fault_count && strncmp(path, "/proc/self/fdinfo/", 18) == 0 &&  \
        injected("fdinfo"))                                             \
      return -1;                                                        \
    return NEXT(name)(path, flags, mode);                               \
  }

OPEN_WRAPPER(open)
OPEN_WRAPPER(open64)

ssize_t read(int fd, void* buffer, size_t size) {
  load();
  if (fault_count && fd_concerned(fd)) {
    const int saved = errno;
    if (injected("append")) append_to(fd, errno);
    errno = saved;
    if (injected("readeof")) {
      errno = saved;
      return 0;
    }
    if (injected("read")) return -1;
  }
  return NEXT(read)(fd, buffer, size);
}

ssize_t write(int fd, const void* buffer, size_t size) {
  load();
  if (fault_count && fd_concerned(fd) && injected("write")) return -1;
  return NEXT(write)(fd, buffer, size);
}

ssize_t pwrite(int fd, const void* buffer, size_t size, off_t offset) {
  load();
  if (fault_count && fd_concerned(fd) && injected("pwrite")) return -1;
  return NEXT(pwrite)(fd, buffer, size, offset);
}

ssize_t pwrite64(int fd, const void* buffer, size_t size, off64_t offset) {
  load();
  if (fault_count && fd_concerned(fd) && injected("pwrite")) return -1;
  return NEXT(pwrite64)(fd, buffer, size, offset);
}

/* posix_fallocate gives the error number; fallocate -1 and errno. */
int posix_fallocate(int fd, off_t offset, off_t length) {
  load();
  if (fault_count && fd_concerned(fd) && injected("fallocate")) return errno;
  return NEXT(posix_fallocate)(fd, offset, length);
}

int posix_fallocate64(int fd, off64_t offset, off64_t length) {
  load();
  if (fault_count && fd_concerned(fd) && injected("fallocate")) return errno;
  return NEXT(posix_fallocate64)(fd, offset, length);
}

int fallocate(int fd, int mode, off_t offset, off_t length) {
  load();
  if (fault_count && fd_concerned(fd) && injected("fallocate")) return -1;
  return NEXT(fallocate)(fd, mode, offset, length);
}

int fallocate64(int fd, int mode, off64_t offset, off64_t length) {
  load();
  if (fault_count && fd_concerned(fd) && injected("fallocate")) return -1;
  return NEXT(fallocate64)(fd, mode, offset, length);
}

/* Waits before the truncation when slowftruncate says so. */
static void truncation_delay(int fd) {
  if (!fault_count || !fd_concerned(fd)) return;
  const int saved = errno;
  if (injected("slowftruncate")) usleep((useconds_t)errno * 1000);
  errno = saved;
}

int ftruncate(int fd, off_t length) {
  load();
  truncation_delay(fd);
  return NEXT(ftruncate)(fd, length);
}

int ftruncate64(int fd, off64_t length) {
  load();
  truncation_delay(fd);
  return NEXT(ftruncate64)(fd, length);
}

int fsetxattr(int fd, const char* name, const void* value, size_t size, int flags) {
  load();
  if (fault_count && fd_concerned(fd) && injected("fsetxattr")) return -1;
  return NEXT(fsetxattr)(fd, name, value, size, flags);
}

int fsync(int fd) {
  load();
  if (fault_count && fd_concerned(fd)) {
    struct stat info;
    const int directory = fstat(fd, &info) == 0 && S_ISDIR(info.st_mode);
    if (injected(directory ? "fsyncdir" : "fsync")) return -1;
  }
  return NEXT(fsync)(fd);
}

int fchown(int fd, uid_t owner, gid_t group) {
  load();
  if (fault_count && fd_concerned(fd) && injected("fchown")) return -1;
  return NEXT(fchown)(fd, owner, group);
}

int rename(const char* from, const char* to) {
  load();
  if (fault_count && (concerned(from) || concerned(to)) && injected("rename")) return -1;
  return NEXT(rename)(from, to);
}

int stat(const char* path, struct stat* info) {
  load();
  if (fault_count && concerned(path) && injected("stat")) return -1;
  return NEXT(stat)(path, info);
}

int unlink(const char* path) {
  load();
  if (fault_count && concerned(path) && injected("unlink")) return -1;
  return NEXT(unlink)(path);
}

/* Every command takes an int or a pointer; a pointer is passed on as one. */
#define FCNTL_WRAPPER(name)                                                        \
  int name(int fd, int command, ...) {                                             \
    va_list arguments;                                                             \
    va_start(arguments, command);                                                  \
    void* argument = va_arg(arguments, void*);                                     \
    va_end(arguments);                                                             \
    load();                                                                        \
    if (fault_count && command == F_OFD_SETLK && fd_concerned(fd) && injected("lock")) \
      return -1;                                                                   \
    return NEXT(name)(fd, command, argument);                                      \
  }

FCNTL_WRAPPER(fcntl)
FCNTL_WRAPPER(fcntl64)
