"""scripts/test prints the reason of every skipped GoogleTest test, which
ctest's own lines leave out. It runs from a copy of scripts/ with a ctest
stand-in that leaves the log a real run leaves."""

import os
import shutil
import subprocess

from stand_in_tools import environment_with

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))

# Two skipped tests, one reason over two lines, and one passed test.
LAST_TEST_LOG = """\
[ RUN      ] ReplaceFile.KeepsOwnerAndGroup
/src/tests/cpp/bringup_file_replace_test.cpp:82: Skipped
giving a file to another user needs root
[  SKIPPED ] ReplaceFile.KeepsOwnerAndGroup (12 ms)
[ RUN      ] Runner.Passes
[       OK ] Runner.Passes (1 ms)
[ RUN      ] Runner.AsAnotherUser
/src/tests/cpp/process_runner_test.cpp:188: Skipped
no unprivileged user
to run as
[  SKIPPED ] Runner.AsAnotherUser (3 ms)
[  SKIPPED ] 1 test, listed below:
[  SKIPPED ] Runner.AsAnotherUser
"""

STAND_INS = {
    "cmake": "mkdir -p build",
    "dpkg-query": 'printf "install ok installed"',
    "ctest": 'mkdir -p Testing/Temporary && cat "$FAKE_LOG" >Testing/Temporary/LastTest.log',
}


def test_skipped_googletest_tests_show_their_reasons(tmp_path):
    shutil.copytree(os.path.join(ROOT, "scripts"), tmp_path / "scripts")
    (tmp_path / "log").write_text(LAST_TEST_LOG)
    # An empty setting keeps the default.
    env = environment_with(str(tmp_path / "stand-ins"), STAND_INS, FAKE_LOG=str(tmp_path / "log"),
                           CMAKE_BUILD_PARALLEL_LEVEL="")
    done = subprocess.run(["sh", str(tmp_path / "scripts" / "test")], env=env,
                          capture_output=True, text=True, timeout=60)
    assert (done.returncode, done.stdout) == (0, (
        "GoogleTest skips:\n"
        "SKIPPED ReplaceFile.KeepsOwnerAndGroup: giving a file to another user needs root\n"
        "SKIPPED Runner.AsAnotherUser: no unprivileged user to run as\n"))
