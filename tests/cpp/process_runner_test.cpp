#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <string>
#include <vector>

#include "common/process_runner.hpp"

namespace {

using common::ProcessOptions;
using common::Stream;

std::string temporary_location() {
  const char* tmpdir = getenv("TMPDIR");
  return tmpdir && *tmpdir ? tmpdir : "/tmp";
}

TEST(RunProcess, CapturesBothStreamsFully) {
  ProcessOptions options{Stream::kNull, Stream::kCapture, Stream::kCapture};
  // Far more than a pipe holds, on both streams at once.
  auto result = common::run_process(
      {"sh", "-c", "head -c 300000 /dev/zero; head -c 200000 /dev/zero >&2; exit 7"}, options);
  EXPECT_EQ(result.status, 7);
  EXPECT_EQ(result.output.size(), 300000u);
  EXPECT_EQ(result.errors.size(), 200000u);
  EXPECT_THROW(common::check_exit_status({"sh"}, result), common::ExitStatusError);
}

TEST(RunProcess, ArgumentsGoUnchangedWithoutAShell) {
  auto result = common::run_process({"printf", "%s|", "a b", "$HOME", "*"});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.output, "a b|$HOME|*|");
  common::check_exit_status({"printf"}, result);
}

TEST(RunProcess, StatusOfASignalIsNegative) {
  auto result = common::run_process({"sh", "-c", "kill -KILL $$"});
  EXPECT_EQ(result.status, -9);
  try {
    common::check_exit_status({"sh", "-c"}, result);
    FAIL();
  } catch (const common::ExitStatusError& error) {
    EXPECT_EQ(error.status(), -9);
    EXPECT_EQ(error.argv().size(), 2u);
  }
}

TEST(RunProcess, NullStreamsAndNoInheritedDescriptors) {
  // Inheritable, yet not passed on. Moved past the standard streams, whose
  // numbers open() takes when this binary runs with one of them closed.
  int opened = open("/dev/null", O_RDONLY);
  ASSERT_GE(opened, 0);
  int open_here = fcntl(opened, F_DUPFD, 3);
  close(opened);
  ASSERT_GE(open_here, 3);
  // Every stream of the program set here, none taken from this binary's.
  ProcessOptions options{Stream::kNull, Stream::kCapture, Stream::kNull};
  auto result = common::run_process(
      {"sh", "-c", "readlink /proc/$$/fd/0 /proc/$$/fd/2; ls /proc/$$/fd"}, options);
  close(open_here);
  EXPECT_EQ(result.output, "/dev/null\n/dev/null\n0\n1\n2\n");
}

TEST(RunProcess, ProgramThatCannotStart) {
  try {
    common::run_process({"/nonexistent/program"});
    FAIL();
  } catch (const common::OsError& error) {
    EXPECT_EQ(error.error_number(), ENOENT);
    EXPECT_EQ(error.filename(), "/nonexistent/program");
  }
  EXPECT_THROW(common::run_process({}), std::invalid_argument);
}

// A handler that only interrupts the wait (no SA_RESTART), as the host's do.
void note_signal(int) {}

TEST(RunProcess, InterruptedWaitKillsAndReapsTheProgram) {
  struct sigaction action{}, previous{};
  action.sa_handler = note_signal;
  sigemptyset(&action.sa_mask);
  ASSERT_EQ(sigaction(SIGALRM, &action, &previous), 0);
  itimerval every_tenth{{0, 100000}, {0, 100000}}, stopped{};
  ASSERT_EQ(setitimer(ITIMER_REAL, &every_tenth, nullptr), 0);

  int asked = 0;
  ProcessOptions options{Stream::kNull, Stream::kNull, Stream::kNull};
  options.keep_waiting = [&asked] { return ++asked < 2; };  // the second signal ends it
  const auto start = std::chrono::steady_clock::now();
  EXPECT_THROW(common::run_process({"sleep", "20"}, options), common::Interrupted);
  const auto waited = std::chrono::steady_clock::now() - start;
  setitimer(ITIMER_REAL, &stopped, nullptr);
  sigaction(SIGALRM, &previous, nullptr);

  EXPECT_EQ(asked, 2);
  EXPECT_LT(waited, std::chrono::seconds(5));
  // Killed and reaped: no child of ours is left, not even a zombie.
  errno = 0;
  EXPECT_EQ(waitpid(-1, nullptr, WNOHANG), -1);
  EXPECT_EQ(errno, ECHILD);
}

TEST(RunProcess, WordWithANulIsRefusedBeforeAnythingStarts) {
  const std::string marker = temporary_location() + "/run_process_nul_marker";
  unlink(marker.c_str());
  for (const std::vector<std::string>& argv : {
           std::vector<std::string>{"touch", marker, std::string("a\0b", 3)},
           std::vector<std::string>{std::string("touch\0x", 7), marker}}) {
    try {
      common::run_process(argv);
      ADD_FAILURE() << "no error";
    } catch (const std::invalid_argument& error) {
      EXPECT_STREQ(error.what(), "embedded null byte");
    }
  }
  EXPECT_NE(access(marker.c_str(), F_OK), 0);
}

TEST(PrivateDirectory, PrivateAndRemovedWithItsContents) {
  std::string path;
  {
    common::PrivateDirectory directory(temporary_location());
    path = directory.path();
    struct stat info{};
    ASSERT_EQ(stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);
    common::write_file(path + "/file", std::string("a\0b", 3));
    EXPECT_EQ(common::read_file(path + "/file"), std::string("a\0b", 3));
    ASSERT_EQ(mkdir((path + "/sub").c_str(), 0700), 0);
    ASSERT_EQ(symlink("/etc", (path + "/sub/link").c_str()), 0);
    directory.remove();
    EXPECT_NE(access(path.c_str(), F_OK), 0);
  }
  EXPECT_EQ(access("/etc", F_OK), 0);  // the link's target stays
  {
    common::PrivateDirectory directory(temporary_location());
    path = directory.path();
  }
  EXPECT_NE(access(path.c_str(), F_OK), 0);  // gone without remove()
}

TEST(PrivateDirectory, FailuresNameThePath) {
  EXPECT_THROW(common::PrivateDirectory("/nonexistent/location"), common::OsError);
  try {
    common::read_file("/nonexistent/file");
    FAIL();
  } catch (const common::OsError& error) {
    EXPECT_EQ(error.error_number(), ENOENT);
    EXPECT_EQ(error.filename(), "/nonexistent/file");
  }
}

// A directory below the private one that cannot be opened is reported with
// the error of opening it. Run as an unprivileged user in a child process,
// since root opens any directory.
TEST(PrivateDirectory, DirectoryThatCannotBeOpenedIsReportedAsSuch) {
  constexpr int kSkipped = 77;
  pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(kSkipped);
    int outcome = 1;
    try {
      common::PrivateDirectory directory(temporary_location());
      const std::string locked = directory.path() + "/locked";
      if (mkdir(locked.c_str(), 0700) != 0 || mkdir((locked + "/inner").c_str(), 0700) != 0 ||
          chmod(locked.c_str(), 0) != 0) {
        _exit(1);
      }
      try {
        directory.remove();
      } catch (const common::OsError& error) {
        outcome = error.error_number() == EACCES && error.filename() == locked ? 0 : 2;
      }
      chmod(locked.c_str(), 0700);  // leave nothing behind
      rmdir((locked + "/inner").c_str());
      rmdir(locked.c_str());
      rmdir(directory.path().c_str());
    } catch (const common::OsError&) {
      _exit(kSkipped);  // no temporary location this user may write to
    }
    _exit(outcome);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  if (WEXITSTATUS(status) == kSkipped) GTEST_SKIP() << "no unprivileged user to run as";
  EXPECT_EQ(WEXITSTATUS(status), 0) << "1: setup failed, 2: wrong error reported";
}

}  // namespace
