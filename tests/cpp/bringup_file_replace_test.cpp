// Whole-file replacement: through symbolic links, keeping owner, group and
// mode, and rewriting in place, never half, where no new file can take the
// old one's place.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <grp.h>
#include <limits.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <functional>
#include <string>

#include "bringup/core/file_replace.hpp"
#include "common/process_runner.hpp"

namespace {

const uid_t kNobody = 65534;

struct stat stat_of(const std::string& path) {
  struct stat info {};
  EXPECT_EQ(stat(path.c_str(), &info), 0) << path;
  return info;
}

// Runs `body` as an unprivileged user: in a child that drops to nobody when
// this process is root, directly otherwise. The errno of the OsError it
// threw, 0 when it returned.
int run_unprivileged(const std::function<void()>& body) {
  auto guarded = [&body] {
    try {
      body();
      return 0;
    } catch (const common::OsError& error) {
      return error.error_number();
    }
  };
  if (geteuid() != 0) return guarded();
  pid_t child = fork();
  if (child == 0) {
    if (setgroups(0, nullptr) != 0 || setgid(kNobody) != 0 || setuid(kNobody) != 0) _exit(255);
    _exit(guarded());
  }
  int status = 0;
  waitpid(child, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

class ReplaceFile : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/replace_file_XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    directory_ = pattern;
  }
  void TearDown() override { std::system(("chmod -R u+w " + directory_ + "; rm -rf " + directory_).c_str()); }
  std::string at(const std::string& name) const { return directory_ + "/" + name; }
  std::string directory_;
};

TEST_F(ReplaceFile, ReplacesWholeKeepingThePermissionBits) {
  for (mode_t mode : {0640, 0600, 0444, 02755}) {
    // Without privilege, any write clears a file's set-group-ID bit.
    if ((mode & S_ISGID) && geteuid() != 0) continue;
    // A file of its own per mode: a read-only one cannot be set up again
    // without privilege.
    const std::string path = at("ports" + std::to_string(mode) + ".conf");
    common::write_file(path, "old\n");
    ASSERT_EQ(chmod(path.c_str(), mode), 0);
    // A file its owner may not write is refused as a plain open refuses it;
    // root writes it all the same.
    const bool refused = !(mode & S_IWUSR) && geteuid() != 0;
    int error = 0;
    try {
      bringup::replace_file(path, "new\n");
    } catch (const common::OsError& failure) {
      error = failure.error_number();
    }
    EXPECT_EQ(error, refused ? EACCES : 0) << std::oct << mode;
    EXPECT_EQ(common::read_file(path), refused ? "old\n" : "new\n");
    EXPECT_EQ(stat_of(path).st_mode & 07777, mode) << std::oct << mode;
  }
}

TEST_F(ReplaceFile, KeepsOwnerAndGroup) {
  if (geteuid() != 0) GTEST_SKIP() << "giving a file to another user needs root";
  const std::string path = at("ports.conf");
  common::write_file(path, "old\n");
  ASSERT_EQ(chown(path.c_str(), kNobody, kNobody), 0);
  bringup::replace_file(path, "new\n");
  EXPECT_EQ(common::read_file(path), "new\n");
  EXPECT_EQ(stat_of(path).st_uid, kNobody);
  EXPECT_EQ(stat_of(path).st_gid, kNobody);
}

TEST_F(ReplaceFile, ReplacesAFileWhoseNameIsAsLongAsTheSystemAllows) {
  for (std::size_t length : {250, NAME_MAX}) {
    const std::string path = at(std::string(length, 'p'));
    common::write_file(path, "old\n");
    bringup::replace_file(path, "new\n");
    EXPECT_EQ(common::read_file(path), "new\n") << length;
    ASSERT_EQ(unlink(path.c_str()), 0);
  }
  EXPECT_EQ(std::system(("test -z \"$(ls -A " + directory_ + ")\"").c_str()), 0);
}

TEST_F(ReplaceFile, WritesThroughSymbolicLinks) {
  ASSERT_EQ(mkdir(at("real").c_str(), 0755), 0);
  struct Case {
    const char* link;     // the path written, a link
    const char* target;   // what it points at
    const char* written;  // the file that must hold the text
  };
  const Case cases[] = {
      {"relative", "real/a.conf", "real/a.conf"},
      {"absolute", "", "real/b.conf"},  // target filled in below
      {"chain", "relative", "real/a.conf"},
      {"dangling", "real/new.conf", "real/new.conf"},
  };
  common::write_file(at("real/a.conf"), "old\n");
  common::write_file(at("real/b.conf"), "old\n");
  for (const Case& c : cases) {
    const std::string target = *c.target ? c.target : at(c.written);
    ASSERT_EQ(symlink(target.c_str(), at(c.link).c_str()), 0);
    bringup::replace_file(at(c.link), std::string(c.link) + "\n");
    struct stat link {};
    ASSERT_EQ(lstat(at(c.link).c_str(), &link), 0);
    EXPECT_TRUE(S_ISLNK(link.st_mode)) << c.link;
    EXPECT_EQ(common::read_file(at(c.written)), std::string(c.link) + "\n");
  }
  // Nothing but the links and the files they name.
  EXPECT_EQ(std::system(("test \"$(ls -A " + directory_ + "/real | tr '\\n' ' ')\" = "
                         "'a.conf b.conf new.conf '").c_str()), 0);
}

TEST_F(ReplaceFile, WritesALinkedDeviceInPlace) {
  ASSERT_EQ(symlink("/dev/null", at("null").c_str()), 0);
  bringup::replace_file(at("null"), "x");
  EXPECT_TRUE(S_ISCHR(stat_of("/dev/null").st_mode));
  EXPECT_EQ(std::system(("test -z \"$(ls -A " + directory_ + " | grep -v '^null$')\"").c_str()), 0);
}

TEST_F(ReplaceFile, WritesInPlaceInADirectoryItMayNotChange) {
  const std::string path = at("ports.conf");
  common::write_file(path, "old\n");
  ASSERT_EQ(chmod(path.c_str(), 0666), 0);
  ASSERT_EQ(chmod(directory_.c_str(), 0555), 0);
  const ino_t inode = stat_of(path).st_ino;
  EXPECT_EQ(run_unprivileged([&] { bringup::replace_file(path, "new\n"); }), 0);
  EXPECT_EQ(common::read_file(path), "new\n");
  EXPECT_EQ(stat_of(path).st_ino, inode);
  // A file that is not there cannot be created: refused, naming the path.
  EXPECT_EQ(run_unprivileged([&] {
              try {
                bringup::replace_file(at("other.conf"), "x");
              } catch (const common::OsError& error) {
                if (error.filename() != at("other.conf")) throw common::OsError(EINVAL, "");
                throw;
              }
            }),
            EACCES);
}

// Fills the file system holding `directory` until a write finds no space.
void fill(const std::string& directory) {
  int fd = open((directory + "/filler").c_str(), O_WRONLY | O_CREAT, 0600);
  const std::string block(4096, 'f');
  while (fd >= 0 && write(fd, block.data(), block.size()) > 0) {
  }
  if (fd >= 0) close(fd);
}

TEST_F(ReplaceFile, RewritingInPlaceOnAFullDiskKeepsTheOldText) {
  if (geteuid() != 0) GTEST_SKIP() << "a private full tmpfs needs root";
  struct Case {
    const char* what;
    uid_t directory_owner, file_owner;
    mode_t file_mode;
    int error;  // what the unprivileged writer meets
  };
  const Case cases[] = {
      {"another's world-writable file in the writer's directory", kNobody, 0, 0666, ENOSPC},
      {"the writer's file in a directory it may not change", 0, kNobody, 0644, ENOSPC},
      {"an unreadable file in a directory it may not change", 0, kNobody, 0200, EACCES},
  };
  for (const Case& c : cases) {
    pid_t child = fork();
    if (child == 0) {
      // A 64 KiB tmpfs over the test directory, seen by this child alone.
      if (unshare(CLONE_NEWNS) != 0 || mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
          mount("tmpfs", directory_.c_str(), "tmpfs", 0, "size=64k,mode=0755") != 0) {
        _exit(254);
      }
      const std::string home = at("home"), path = home + "/ports.conf";
      if (mkdir(home.c_str(), 0755) != 0 || chown(home.c_str(), c.directory_owner, c.directory_owner) != 0) _exit(253);
      common::write_file(path, "OLD\n");
      if (chown(path.c_str(), c.file_owner, c.file_owner) != 0 || chmod(path.c_str(), c.file_mode) != 0) _exit(253);
      fill(directory_);
      int error = run_unprivileged([&] { bringup::replace_file(path, std::string(16384, 'n')); });
      _exit(common::read_file(path) == "OLD\n" ? error : 252);
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status)) << c.what;
    EXPECT_EQ(WEXITSTATUS(status), c.error) << c.what;
  }
}

TEST_F(ReplaceFile, FailsWithoutLeavingAnythingNamingThePath) {
  const std::string path = directory_ + "/missing/ports.conf";
  try {
    bringup::replace_file(path, "x");
    ADD_FAILURE() << "no error";
  } catch (const common::OsError& error) {
    EXPECT_EQ(error.filename(), path);
  }
  EXPECT_EQ(std::system(("test -z \"$(ls -A " + directory_ + ")\"").c_str()), 0);
}

}  // namespace
