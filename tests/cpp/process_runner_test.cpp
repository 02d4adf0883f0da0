#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
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
  int open_here = open("/dev/null", O_RDONLY);  // inheritable, yet not passed on
  ASSERT_GE(open_here, 3);
  auto result = common::run_process({"sh", "-c", "readlink /proc/$$/fd/0; ls /proc/$$/fd"});
  close(open_here);
  EXPECT_EQ(result.output, "/dev/null\n0\n1\n2\n");
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

}  // namespace
