"""write_config against file-system faults: real ones in private mount and
user namespaces, and libc calls made to fail by the preloaded write_faults
shim (tests/faults/write_faults.c). Each write runs in a child process.
Root only: the cases give files to other owners and mount over them."""

import os
import shutil
import subprocess
import sys

import pytest

BUILD = os.environ.get("SWITCH_BUILD_DIR",
                       os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "build"))
SHIM = os.path.join(BUILD, "tests", "write_faults.so")
OLD = "9=10G\n" * 4000  # 24000 bytes: more than one read
NEW = "# XXX - default config file (needs documentation comments)\n1=40G\n"
NOBODY, UNMAPPED = 65534, 1234


def unshare_works(*options):
    return subprocess.run(["unshare"] + list(options) + ["true"], capture_output=True).returncode == 0


pytestmark = pytest.mark.skipif(
    os.geteuid() != 0 or not shutil.which("unshare") or not os.path.exists(SHIM)
    or not unshare_works("-m"), reason="needs root, mount namespaces and the write_faults shim")

WRITER = """
import sys
import bringup
from bringup_fakes import platform_of
config = bringup.Config(platform_of([]), dummy=True)
config.config_map = {"1": "40G"}
try:
    config.write_config(sys.argv[1])
    print("written")
except OSError as error:
    print(error.errno, error)
"""


def write(tmp_path, faults="", owner=0, namespace=("-m",), setup="true", old=OLD):
    """write_config over etc/ports.conf (holding `old` when not None, owned
    by `owner`, mode 0666) in a child in new namespaces (unshare options),
    after the shell `setup` ran there in etc/, with the shim failing
    `faults`. The child's report ("written", or the errno and the error)
    and what etc/ then holds."""
    folder = tmp_path / "etc"
    folder.mkdir()
    target = folder / "ports.conf"
    if old is not None:
        target.write_text(old)
        os.chown(target, owner, owner)
        os.chmod(target, 0o666)
    env = dict(os.environ, PYTHONPATH=os.pathsep.join(sys.path), WRITE_FAULTS=faults,
               WRITE_FAULTS_UNDER=str(folder), SHIM=SHIM, PRELOAD=os.environ.get("LD_PRELOAD", ""))
    # Only the interpreter is preloaded: setup's own calls count no fault.
    script = setup + ' && exec env LD_PRELOAD="$PRELOAD $SHIM" "$0" -c "$1" "$2"'
    result = subprocess.run(["unshare"] + list(namespace) + ["sh", "-c", script, sys.executable,
                                                             WRITER, str(target)],
                            capture_output=True, text=True, cwd=folder, env=env)
    assert result.returncode == 0, result.stderr
    return result.stdout.strip(), sorted(os.listdir(folder))


def failure(errno, tmp_path, left=None):
    """The child's report of an OSError naming ports.conf, and the
    temporary file `left` behind, if given, that unlink failed (EIO) to remove."""
    reason = os.strerror(errno)
    if left:
        reason += "; temporary file '%s' could not be removed: %s" % (left, os.strerror(5))
    return "%d [Errno %d] %s: '%s'" % (errno, errno, reason, tmp_path / "etc" / "ports.conf")


# The in-place path is reached by refusing the chown of a new file
# (EPERM) over a file owned by another user.
@pytest.mark.parametrize("faults", ["fchown:1:1,read:1:5", "fchown:1:1,read:2:5"])
def test_in_place_rewrite_refuses_a_file_it_cannot_read_whole(tmp_path, faults):
    assert write(tmp_path, faults, owner=NOBODY) == (failure(5, tmp_path), ["ports.conf"])
    assert (tmp_path / "etc" / "ports.conf").read_text() == OLD


REFUSED_REPLACEMENTS = [
    # (what, unshare options, setup in etc/, faults, owner, file that gets the new text)
    ("bind-mounted file: EBUSY", ("-m",), "echo > ../other && mount --bind ../other ports.conf", "",
     0, "other"),
    ("rename across file systems: EXDEV", ("-m",), "true", "rename:1:18", 0, "etc/ports.conf"),
    ("owner unmapped in a user namespace: EINVAL", ("-U", "-r"), "true", "", UNMAPPED,
     "etc/ports.conf"),
]


@pytest.mark.parametrize("what, namespace, setup, faults, owner, holder", REFUSED_REPLACEMENTS,
                         ids=[case[0] for case in REFUSED_REPLACEMENTS])
def test_refused_replacement_is_written_in_place(tmp_path, what, namespace, setup, faults, owner,
                                                 holder):
    if not unshare_works(*namespace):
        pytest.skip("no namespace of unshare %s here" % " ".join(namespace))
    assert write(tmp_path, faults, owner, namespace, setup) == ("written", ["ports.conf"]), what
    assert (tmp_path / holder).read_text() == NEW, what
    assert (tmp_path / "etc" / "ports.conf").stat().st_uid == owner, what


@pytest.mark.parametrize("faults, owner, errno", [
    ("write:1:28,unlink:1:5", 0, 28),    # failed writing the new file
    ("fchown:1:1,unlink:1:5", NOBODY, 1),  # before the in-place fallback
    ("rename:1:16,unlink:1:5", 0, 16),   # before the in-place fallback
])
def test_a_temporary_file_that_cannot_be_removed_is_named_in_the_error(tmp_path, faults, owner,
                                                                       errno):
    report, names = write(tmp_path, faults, owner)
    assert len(names) == 2 and names[0].startswith(".ports.conf.new"), names
    assert report == failure(errno, tmp_path, left=tmp_path / "etc" / names[0])
    assert (tmp_path / "etc" / "ports.conf").read_text() == OLD


@pytest.mark.parametrize("old", [OLD, None], ids=["replaced", "created"])
def test_the_directory_is_flushed_after_the_rename(tmp_path, old):
    assert write(tmp_path, "fsyncdir:1:5", old=old) == (failure(5, tmp_path), ["ports.conf"])
    assert (tmp_path / "etc" / "ports.conf").read_text() == NEW
