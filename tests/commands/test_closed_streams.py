"""The GoogleTest cases hold when their binary starts with standard streams
closed: scripts/sanitize-test runs it directly, so `.ci/run <&-` passes it a
closed standard input, where ctest would give it one."""

import os
import subprocess

import pytest

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))


@pytest.mark.parametrize("closing", ["<&-", "<&- >&- 2>&-"])
def test_googletest_cases_pass_with_standard_streams_closed(closing):
    build = os.environ.get("SWITCH_BUILD_DIR", os.path.join(ROOT, "build"))
    binary = os.path.join(build, "tests", "cpp_unit_tests")
    done = subprocess.run(["sh", "-c", 'exec "$0" --gtest_brief=1 ' + closing, binary],
                          capture_output=True, text=True, timeout=300)
    assert done.returncode == 0, done.stdout + done.stderr
