"""scripts/install-deps installs missing packages as root, and tells anyone
else plainly which packages root must install. The package query, the user
id and the package tool are stand-ins on PATH that record their calls."""

import os
import subprocess

import pytest

from stand_in_tools import environment_with

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))

STAND_INS = {
    # Every package is installed except those named in FAKE_MISSING.
    "dpkg-query": 'for p in $FAKE_MISSING; do [ "$p" = "$3" ] && exit 1; done\n'
                  'printf "install ok installed"\n',
    "id": 'echo "$FAKE_UID"\n',
    "apt-get": 'echo "apt-get $*" >>"$FAKE_LOG"\n',
}

# (arguments, user id, missing packages, status, error text, package tool calls)
CASES = [
    ([], "1000", "", 0, "", []),
    ([], "1000", "cmake clang", 1,
     "scripts/install-deps: these Debian packages are missing and must be installed by root:\n"
     "  apt-get install cmake clang\n", []),
    ([], "0", "", 0, "", []),
    ([], "0", "cmake clang", 0, "",
     ["apt-get update -qq", "apt-get install -y -qq cmake clang"]),
    # The main job's build needs neither the test tools nor clang.
    (["--main-job"], "1000", "clang libgtest-dev python3-pytest iproute2", 0, "", []),
    (["--main-job"], "0", "cmake clang libgtest-dev", 0, "",
     ["apt-get update -qq", "apt-get install -y -qq cmake"]),
]


@pytest.mark.parametrize("arguments,uid,missing,status,error,calls", CASES)
def test_install_deps(tmp_path, arguments, uid, missing, status, error, calls):
    log = tmp_path / "calls"
    env = environment_with(str(tmp_path), STAND_INS, FAKE_UID=uid, FAKE_MISSING=missing,
                           FAKE_LOG=str(log))
    done = subprocess.run(["sh", os.path.join(ROOT, "scripts", "install-deps")] + arguments,
                          env=env,
                          capture_output=True, text=True, timeout=60)
    assert (done.returncode, done.stderr) == (status, error)
    assert (log.read_text().splitlines() if log.exists() else []) == calls
