"""write_config against file-system faults: real ones in private mount and
user namespaces, and libc calls made to fail by the preloaded write_faults
shim (tests/faults/write_faults.c). Each write runs in a child process.
Root only: the cases give files to other owners and mount over them."""

import collections
import contextlib
import ctypes
import errno as errnos
import json
import fcntl
import os
import shutil
import struct
import subprocess
import sys
import time

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

# A lock of the writer's own on the file while it writes: HOLD_LOCK names
# a flock (LOCK_SH, LOCK_EX), a POSIX record lock (lockf, lockf_sh), an
# open file description's (ofd), or shared ones of two descriptions (two ofd).
HOLD = """
import os
import sys
hold = os.environ.get("HOLD_LOCK")
if hold:
    import fcntl, struct
    held = os.open(sys.argv[1], os.O_RDWR)
    if hold.startswith("lockf"):
        fcntl.lockf(held, fcntl.LOCK_SH if hold == "lockf_sh" else fcntl.LOCK_EX)
    elif hold.endswith("ofd"):
        kind = fcntl.F_RDLCK if hold == "two ofd" else fcntl.F_WRLCK
        for fd in (held, os.open(sys.argv[1], os.O_RDWR))[:2 if hold == "two ofd" else 1]:
            fcntl.fcntl(fd, fcntl.F_OFD_SETLK, struct.pack("hhqqi4x", kind, 0, 0, 0, 0))
    else:
        fcntl.flock(held, getattr(fcntl, hold))
"""
WRITER = HOLD + """
import bringup
from bringup_fakes import platform_of
config = bringup.Config(platform_of([]), dummy=True)
ports = int(sys.argv[2]) if len(sys.argv) > 2 else 1
config.config_map = {str(label): "40G" for label in range(1, ports + 1)}
try:
    config.write_config(sys.argv[1])
    print("written")
except OSError as error:
    print(error.errno, error)
"""


def write(tmp_path, faults="", owner=0, namespace=("-m",), setup="true", old=OLD, mode=0o666,
          name="ports.conf", prepare=lambda folder: None, wrapper="", hold=""):
    """write_config over etc/<name> (holding `old` when not None, owned by
    `owner`, with `mode`) in a child in new namespaces (unshare options),
    after `prepare(folder)` ran here and the shell `setup` there in etc/,
    with the shim failing `faults`, started by the command `wrapper` and
    holding the lock `hold` (see WRITER). The child's report ("written",
    or the errno and the error, after what it wrote to its standard
    output) and what etc/ then holds."""
    folder = tmp_path / "etc"
    folder.mkdir()
    target = folder / name
    if old is not None:
        target.write_text(old)
        os.chown(target, owner, owner)
        os.chmod(target, mode)
    prepare(folder)
    env = dict(os.environ, PYTHONPATH=os.pathsep.join(sys.path), WRITE_FAULTS=faults,
               WRITE_FAULTS_UNDER=str(folder), SHIM=SHIM, PRELOAD=os.environ.get("LD_PRELOAD", ""),
               HOLD_LOCK=hold)
    # Only the interpreter is preloaded: setup's own calls count no fault.
    script = setup + ' && exec env LD_PRELOAD="$PRELOAD $SHIM" %s "$0" -c "$1" "$2"' % wrapper
    result = subprocess.run(["unshare"] + list(namespace) + ["sh", "-c", script, sys.executable,
                                                             WRITER, str(target)],
                            capture_output=True, text=True, cwd=folder, env=env, timeout=60)
    assert result.returncode == 0, result.stderr
    return result.stdout.strip(), sorted(os.listdir(folder))


def failure(errno, tmp_path, left=None, note=None, removal=5):
    """The child's report of an OSError naming ports.conf: its reason, then
    the `note` on how the file stands, or the temporary file `left` behind
    that unlink failed (`removal`, or None when the error is the removal's
    own) to remove."""
    reason = os.strerror(errno)
    if note:
        reason += "; " + note
    if left:
        reason += "; temporary file '%s' could not be removed" % left
        if removal:
            reason += ": " + os.strerror(removal)
    return "%d [Errno %d] %s: '%s'" % (errno, errno, reason, tmp_path / "etc" / "ports.conf")


# The in-place path is reached by refusing the chown of a new file
# (EPERM) over a file owned by another user. An early end of file (a file
# that shrank meanwhile) is no whole copy either, and is said to be one.
@pytest.mark.parametrize("faults, note", [
    ("fchown:1:1,read:1:5", None), ("fchown:1:1,read:2:5", None),
    ("fchown:1:1,readeof:2:0", "the file changed while it was read")])
def test_in_place_rewrite_refuses_a_file_it_cannot_read_whole(tmp_path, faults, note):
    assert write(tmp_path, faults, owner=NOBODY) == (failure(5, tmp_path, note=note), ["ports.conf"])
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


# A removal failing after a harmless condition (a refused chown or rename
# that the in-place rewrite would get round) raises the removal's own error.
@pytest.mark.parametrize("faults, owner, errno, removal", [
    ("write:1:28,unlink:1:5", 0, 28, 5),    # failed writing the new file
    ("fchown:1:1,unlink:1:5", NOBODY, 5, None),  # before the in-place fallback
    ("rename:1:16,unlink:1:5", 0, 5, None),   # before the in-place fallback
])
def test_a_temporary_file_that_cannot_be_removed_is_named_in_the_error(tmp_path, faults, owner,
                                                                       errno, removal):
    report, names = write(tmp_path, faults, owner)
    assert len(names) == 2 and names[0].startswith(".ports.conf.new"), names
    assert report == failure(errno, tmp_path, left=tmp_path / "etc" / names[0], removal=removal)
    assert (tmp_path / "etc" / "ports.conf").read_text() == OLD


# The temporary's name is the target's cut to fit NAME_MAX with its suffix;
# of these two, one has its cut fall inside a character whatever the suffix.
@pytest.mark.parametrize("name", ["\u00e9" * 127, "a" + "\u00e9" * 127], ids=["even", "odd"])
def test_a_cut_temporary_name_keeps_whole_characters(tmp_path, name):
    report, names = write(tmp_path, "rename:1:5,unlink:1:5", name=name)
    assert report.startswith("5 ") and names[1] == name, report
    temporary = names[0]
    assert temporary.startswith("." + name[:100]), temporary
    temporary.encode("utf-8")  # no half character, which would decode as a surrogate


@pytest.mark.parametrize("old", [OLD, None], ids=["replaced", "created"])
def test_the_directory_is_flushed_after_the_rename(tmp_path, old):
    note = "the new text is in place but its folder could not be flushed"
    assert write(tmp_path, "fsyncdir:1:5", old=old) == (failure(5, tmp_path, note=note),
                                                        ["ports.conf"])
    assert (tmp_path / "etc" / "ports.conf").read_text() == NEW


DAMAGED = "the old text could not be put back either: the file may be damaged"
AS_NOBODY = ("-U", "--map-user=%d" % NOBODY, "--map-group=%d" % NOBODY, "-m")

REFUSALS = [
    # (what, unshare options, faults, owner, mode, errno, note); the file
    # keeps its old text, owner and mode.
    # The writer's own file, in its own folder, with an ordinary user's
    # ids (nobody in a user namespace: no privilege there).
    ("a write-protected file of an ordinary user", AS_NOBODY, "", 0, 0o444, 13, None),
    ("its stat fails: EIO", ("-m",), "stat:1:5", UNMAPPED, 0o4750, 5, None),
    ("its stat fails: EOVERFLOW", ("-m",), "stat:1:75", UNMAPPED, 0o4750, 75, None),
    # The open that asks the sticky-folder guard is the first.
    ("asking the sticky-folder guard fails: EIO", ("-m",), "open:1:5", 0, 0o666, 5, None),
    # Rewritten in place (the chown is refused), the old text put back fails.
    ("a failed flush, then a failed restore", ("-m",), "fchown:1:1,fsync:1:5,fsync:2:5", NOBODY,
     0o666, 5, DAMAGED),
]


@pytest.mark.parametrize("what, namespace, faults, owner, mode, errno, note", REFUSALS,
                         ids=[case[0] for case in REFUSALS])
def test_refused_writes_leave_the_file_as_it_was(tmp_path, what, namespace, faults, owner, mode,
                                                 errno, note):
    if not unshare_works(*namespace):
        pytest.skip("no namespace of unshare %s here" % " ".join(namespace))
    assert write(tmp_path, faults, owner, namespace, mode=mode) == (
        failure(errno, tmp_path, note=note), ["ports.conf"]), what
    info = (tmp_path / "etc" / "ports.conf").stat()
    assert (tmp_path / "etc" / "ports.conf").read_text() == OLD, what
    assert (info.st_uid, info.st_mode & 0o7777) == (owner, mode), what


IN_CLOSE_WRITE = 0x8
LIBC = ctypes.CDLL(None, use_errno=True)


class CloseWriteWatch:
    """An inotify watch counting the times a file (its inode, whatever
    becomes of its name) is closed after being opened for writing."""

    def __init__(self, path):
        self.fd = LIBC.inotify_init1(os.O_NONBLOCK | os.O_CLOEXEC)
        assert self.fd >= 0 and LIBC.inotify_add_watch(self.fd, os.fsencode(path), IN_CLOSE_WRITE) >= 0

    def count(self):
        events = b""
        try:
            while True:
                events += os.read(self.fd, 4096)
        except BlockingIOError:
            pass
        os.close(self.fd)
        count = at = 0
        while at < len(events):
            _, mask, _, length = struct.unpack_from("iIII", events, at)
            count += bool(mask & IN_CLOSE_WRITE)
            at += 16 + length
        return count


ACCESS_ACL, DEFAULT_ACL = "system.posix_acl_access", "system.posix_acl_default"
USER_OBJ, USER, GROUP_OBJ, MASK, OTHER, NO_ID = 0x01, 0x02, 0x04, 0x10, 0x20, 0xFFFFFFFF


def acl(*entries):
    """A POSIX ACL as its extended attribute holds it, from (tag, id,
    permission bits) entries in the kernel's order."""
    return struct.pack("<I", 2) + b"".join(struct.pack("<HHI", tag, bits, id_) for tag, id_, bits in entries)


# rw for nobody on a 0644 file, which then reads 0664: the mask is in the group bits.
NOBODY_MAY_WRITE = acl((USER_OBJ, NO_ID, 6), (USER, NOBODY, 6), (GROUP_OBJ, NO_ID, 4), (MASK, NO_ID, 6),
                       (OTHER, NO_ID, 4))
NOBODY_MAY_WRITE_NEW_FILES = acl((USER_OBJ, NO_ID, 7), (USER, NOBODY, 6), (GROUP_OBJ, NO_ID, 5),
                                 (MASK, NO_ID, 7), (OTHER, NO_ID, 5))
ORIGIN = {"user.origin": b"site", "trusted.origin": b"root"}

Write = collections.namedtuple(
    "Write", "what expected report namespace setup faults owner mode old attributes folder_attributes name",
    defaults=("written", ("-m",), "true", "", 0, 0o644, OLD, {}, {}, "ports.conf"))

# What a plain open keeps, a write keeps: the old file's inode (its ACL,
# attributes and other links) or a new one that has all it had and no more.
# `expected` is part of what etc/ holds after, with "closed after writing"
# the times watchers saw the old file closed after a write; `report` the
# child's "written", its (errno, note) or its standard output.
WRITES = [
    Write("an ACL is kept, and with it who may write",
          {"text": NEW, "mode": 0o664, "attributes": {ACCESS_ACL: NOBODY_MAY_WRITE},
           "closed after writing": 0}, attributes={ACCESS_ACL: NOBODY_MAY_WRITE}),
    Write("extended attributes are kept",
          {"text": NEW, "attributes": ORIGIN, "closed after writing": 0}, attributes=ORIGIN),
    Write("the folder's default ACL is not added",
          {"text": NEW, "mode": 0o664, "attributes": {}}, mode=0o664,
          folder_attributes={DEFAULT_ACL: NOBODY_MAY_WRITE_NEW_FILES}),
    Write("a second hard link sees the new text: written in place",
          {"text": NEW, "other": NEW, "listing": ["other", "ports.conf"], "closed after writing": 1},
          setup="ln ports.conf other"),
    Write("an attribute a new file cannot take: written in place",
          {"text": NEW, "attributes": ORIGIN, "closed after writing": 1}, faults="fsetxattr:1:95",
          attributes=ORIGIN),
    Write("watchers see no write before the rename", {"text": NEW, "closed after writing": 0}),
    Write("a text that grew while it was read in place, by an ordinary user",
          {"text": NEW, "closed after writing": 1}, namespace=AS_NOBODY, setup="chmod 555 .",
          faults="append:1:100"),
    Write("no space for a longer text in place: nothing changed, nothing put back",
          {"text": "1=10G\n"}, (28, None), owner=NOBODY, mode=0o666,
          faults="fchown:1:1,fallocate:1:28,pwrite:1:5", old="1=10G\n"),
    Write("/dev/stdout that is a pipe is written as a plain open writes it", {"listing": []},
          NEW + "written", old=None, name="/dev/stdout"),
]


def set_attributes(path, attributes):
    for name, value in attributes.items():
        try:
            os.setxattr(path, name, value)
        except OSError as error:
            if error.errno != errnos.EOPNOTSUPP:
                raise
            pytest.skip("the file system of %s holds no %s" % (path, name))


@pytest.mark.parametrize("case", WRITES, ids=[case.what for case in WRITES])
def test_a_write_keeps_what_a_plain_open_keeps(tmp_path, case):
    if not unshare_works(*case.namespace):
        pytest.skip("no namespace of unshare %s here" % " ".join(case.namespace))
    watches = []

    def prepare(folder):
        set_attributes(folder, case.folder_attributes)
        if case.old is not None:
            set_attributes(folder / case.name, case.attributes)
            watches.append(CloseWriteWatch(folder / case.name))

    report, listing = write(tmp_path, case.faults, case.owner, case.namespace, case.setup, case.old,
                            case.mode, case.name, prepare)
    target, other = tmp_path / "etc" / "ports.conf", tmp_path / "etc" / "other"
    found = {"listing": listing, "closed after writing": watches and watches[0].count()}
    if target.exists():
        found.update(text=target.read_text(), mode=target.stat().st_mode & 0o7777,
                     attributes={name: os.getxattr(target, name) for name in os.listxattr(target)})
    if other.exists():
        found["other"] = other.read_text()
    expected = dict({"listing": ["ports.conf"]}, **case.expected)
    assert report == (case.report if isinstance(case.report, str)
                      else failure(case.report[0], tmp_path, note=case.report[1])), case.what
    assert {key: found.get(key) for key in expected} == expected, case.what


@pytest.fixture
def protected_regular():
    """Sets the kernel's guard against files planted in sticky folders for
    the test's duration (it is the whole machine's), then puts it back."""
    setting = "/proc/sys/fs/protected_regular"
    try:
        with open(setting) as handle:
            before = handle.read()
        with open(setting, "w") as handle:
            handle.write(before)
    except OSError as error:
        pytest.skip("%s cannot be set here: %s" % (setting, error))

    def set_to(level):
        with open(setting, "w") as handle:
            handle.write("%d\n" % level)
    yield set_to
    with open(setting, "w") as handle:
        handle.write(before)


def plain_open(path, tmp_path):
    """What a plain open for writing of `path` gives, as the child's report
    of write_config on etc/ports.conf would say it."""
    try:
        with open(path, "w") as handle:
            handle.write(NEW)
        return "written"
    except OSError as error:
        return failure(error.errno, tmp_path)


# Another user's file in a sticky folder that others may write: the guard
# refuses it to a plain open, and to write_config, which could replace it.
@pytest.mark.parametrize("level, folder_mode", [(1, 0o1777), (2, 0o1775), (1, 0o1775)],
                         ids=["1, world-writable", "2, group-writable", "1, group-writable"])
def test_a_file_in_a_sticky_folder_is_refused_as_a_plain_open_refuses_it(
        tmp_path, protected_regular, level, folder_mode):
    protected_regular(level)

    def prepare(folder):
        folder.chmod(folder_mode)
        shutil.copy(folder / "ports.conf", folder / "plain")
        os.chown(folder / "plain", NOBODY, NOBODY)
    report, _ = write(tmp_path, owner=NOBODY, prepare=prepare)
    folder = tmp_path / "etc"
    assert report == plain_open(folder / "plain", tmp_path)
    assert (folder / "ports.conf").read_text() == (NEW if report == "written" else OLD)


# The guard judges the name opened: another user's file named in the
# sticky folder, or through a symbolic link into it, is refused; reached
# through /proc (the writer's own descriptor, as a shell's redirection
# gives it), it is not.
THROUGH_NAME = """
import sys
import bringup
from bringup_fakes import platform_of
name, how = sys.argv[1], sys.argv[2]
try:
    if how == "plain":
        with open(name, "w") as handle:
            handle.write(sys.argv[3])
    else:
        config = bringup.Config(platform_of([]), dummy=True)
        config.config_map = {"1": "40G"}
        config.write_config(name)
except OSError as error:
    sys.exit(error.errno)
"""


@pytest.mark.parametrize("name, errno", [
    ("sticky/ports.conf", 13), ("link", 13), ("/dev/stdout", 0), ("/dev/fd/%d", 0),
    ("/proc/self/fd/%d", 0)])
def test_the_sticky_folder_guard_judges_the_name_given_as_a_plain_open(
        tmp_path, protected_regular, name, errno):
    protected_regular(1)
    folder = tmp_path / "sticky"
    folder.mkdir()
    folder.chmod(0o1777)
    target = folder / "ports.conf"
    (tmp_path / "link").symlink_to(target)
    outcomes = []
    for how in ("plain", "write_config"):
        target.unlink(missing_ok=True)
        target.write_text(OLD)
        os.chown(target, NOBODY, NOBODY)
        fd = os.open(target, os.O_WRONLY)  # opened as the file's owner would, not created
        given = name % fd if "%d" in name else str(tmp_path / name)
        try:
            child = subprocess.run([sys.executable, "-c", THROUGH_NAME, given, how, NEW],
                                   stdout=fd, pass_fds=(fd,), cwd=tmp_path, timeout=60,
                                   env=dict(os.environ, PYTHONPATH=os.pathsep.join(sys.path)))
        finally:
            os.close(fd)
        outcomes.append((child.returncode, target.read_text()))
    assert outcomes == [(errno, NEW if errno == 0 else OLD)] * 2, name


# A lock the writer itself holds on a file it rewrites in place, taken by a
# flock(1) wrapper that runs it or in its own process, is never waited for.
IN_PLACE = {
    "a second link": dict(prepare=lambda folder: os.link(folder / "ports.conf", folder / "other")),
    "a folder the writer may not change": dict(namespace=AS_NOBODY,
                                               prepare=lambda folder: folder.chmod(0o555)),
}
HELD_LOCKS = {
    "flock(1) wrapper": dict(wrapper="flock ports.conf"), "shared flock": dict(hold="LOCK_SH"),
    "exclusive flock": dict(hold="LOCK_EX"), "lockf": dict(hold="lockf"), "OFD lock": dict(hold="ofd"),
}


@pytest.mark.parametrize("lock", HELD_LOCKS)
@pytest.mark.parametrize("where", IN_PLACE)
def test_a_lock_the_writer_holds_itself_is_not_waited_for(tmp_path, where, lock):
    if not unshare_works(*IN_PLACE[where].get("namespace", ("-m",))):
        pytest.skip("no user namespace here")
    inode = None

    def keep_inode(folder):
        nonlocal inode
        IN_PLACE[where]["prepare"](folder)
        inode = (folder / "ports.conf").stat().st_ino
    options = dict(IN_PLACE[where], prepare=keep_inode, **HELD_LOCKS[lock])
    assert write(tmp_path, **options)[0] == "written"
    assert (tmp_path / "etc" / "ports.conf").read_text() == NEW
    assert (tmp_path / "etc" / "ports.conf").stat().st_ino == inode  # rewritten in place


@contextlib.contextmanager
def held_elsewhere(path, lock):
    """A shared record lock on `path`, a POSIX one (lockf) or an open file
    description's (ofd), held by a process that did not start the writer."""
    holder = subprocess.Popen([sys.executable, "-c", """
import fcntl, os, struct, sys
fd = os.open(sys.argv[1], os.O_RDWR)
if sys.argv[2] == "lockf":
    fcntl.lockf(fd, fcntl.LOCK_SH)
else:
    fcntl.fcntl(fd, fcntl.F_OFD_SETLK, struct.pack("hhqqi4x", fcntl.F_RDLCK, 0, 0, 0, 0))
print("held", flush=True)
sys.stdin.read()
""", str(path), lock], stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True)
    try:
        assert holder.stdout.readline() == "held\n"
        yield
    finally:
        holder.communicate(timeout=60)


# The writer's parent holds lockf on the file while it runs the writer,
# with the locked descriptor passed down or not, until the writer ends or
# for a moment (PARENT_LOCKF_FOR seconds).
PARENT_LOCKF = ("\"$0\" -c 'import fcntl, os, subprocess, sys, time; "
                "fd = os.open(\"ports.conf\", os.O_RDWR); fcntl.lockf(fd, fcntl.LOCK_EX); "
                "writer = subprocess.Popen(sys.argv[1:], pass_fds=%s); "
                "time.sleep(float(os.environ.get(\"PARENT_LOCKF_FOR\", 0))); "
                "os.environ.get(\"PARENT_LOCKF_FOR\") and fcntl.lockf(fd, fcntl.LOCK_UN); "
                "sys.exit(writer.wait())'")

# Waiting could be for ever where a lock in the way may be waiting on the
# writer, and writing could mix with another's rewrite where the kernel
# cannot show the writer what stands behind its own locks or its
# parent's: refused at once, untouched.
REFUSED_AT_ONCE = {
    "a lock of its own beside another process's": dict(hold="lockf_sh", elsewhere="lockf"),
    "two open file description locks of its own": dict(hold="two ofd"),
    "its parent's lockf, passed down": dict(wrapper=PARENT_LOCKF % "(fd,)"),
    "its parent's lockf, not passed down": dict(wrapper=PARENT_LOCKF % "()"),
}


@pytest.mark.parametrize("case", REFUSED_AT_ONCE)
def test_a_lock_that_may_wait_on_the_writer_is_refused_at_once(tmp_path, case):
    options = dict(REFUSED_AT_ONCE[case])
    elsewhere = options.pop("elsewhere", None)
    target = tmp_path / "etc" / "ports.conf"

    def prepare(folder):
        IN_PLACE["a second link"]["prepare"](folder)
        if elsewhere:
            stack.enter_context(held_elsewhere(target, elsewhere))
    with contextlib.ExitStack() as stack:
        assert write(tmp_path, prepare=prepare, **options) == (
            failure(errnos.EDEADLK, tmp_path), ["other", "ports.conf"]), case
    assert target.read_text() == OLD


# A parent's lock held a moment, as while it reads the file, is waited for.
def test_a_parents_lock_held_a_moment_is_waited_for(tmp_path, monkeypatch):
    monkeypatch.setenv("PARENT_LOCKF_FOR", "0.3")
    assert write(tmp_path, prepare=IN_PLACE["a second link"]["prepare"],
                 wrapper=PARENT_LOCKF % "()")[0] == "written"
    assert (tmp_path / "etc" / "ports.conf").read_text() == NEW


# Once another's lock has been met, a failing lock request says nothing of
# whether the file system keeps locks; nor does a failure to look at the
# writer's own locks say it holds none. Either refuses, untouched while
# the other lock is held.
@pytest.mark.parametrize("what, faults, hold, errno", [
    ("a request fails after another's lock was met: EIO", "lock:2:5", "", 5),
    ("a request fails after another's lock was met: ENOLCK", "lock:2:37", "", 37),
    ("a descriptor's lock list cannot be opened: EACCES", "fdinfo:1:13", "ofd", 13),
])
def test_a_failed_look_at_the_locks_refuses_the_write(tmp_path, what, faults, hold, errno):
    target = tmp_path / "etc" / "ports.conf"
    with contextlib.ExitStack() as stack:
        def prepare(folder):
            IN_PLACE["a second link"]["prepare"](folder)
            if not hold:
                stack.enter_context(held_elsewhere(target, "ofd"))
        assert write(tmp_path, faults, prepare=prepare, hold=hold) == (
            failure(errno, tmp_path), ["other", "ports.conf"]), what
        assert target.read_text() == OLD, what


# A script's write(ports), for its threads; then a thread rewriting a
# longer text, let run until that text is written and its truncation is to
# come (which the shim delays).
THREAD_WRITES = """
import fcntl
import os
import struct
import threading
import time
import bringup
from bringup_fakes import platform_of

def write(ports):
    config = bringup.Config(platform_of([]), dummy=True)
    config.config_map = {str(label): "40G" for label in range(1, ports + 1)}
    config.write_config(sys.argv[1])
"""
LONGER_UNDER_WAY = THREAD_WRITES + """
longer = threading.Thread(target=write, args=(400,))
longer.start()
deadline = time.monotonic() + 30
while "\\n400=40G\\n" not in open(sys.argv[1]).read() and time.monotonic() < deadline:
    time.sleep(0.01)
"""
TWO_THREADS = HOLD + LONGER_UNDER_WAY + """
write(1)
longer.join()
print("written")
"""


def linked_file(tmp_path):
    """etc/ and its ports.conf holding OLD, with a second link (rewritten in place)."""
    folder = tmp_path / "etc"
    folder.mkdir()
    target = folder / "ports.conf"
    target.write_text(OLD)
    os.link(target, folder / "other")
    return folder, target


def preloaded(folder, faults, hold=""):
    """The environment of a writer of etc/ under the shim failing `faults`."""
    return dict(os.environ, PYTHONPATH=os.pathsep.join(sys.path), WRITE_FAULTS=faults,
                WRITE_FAULTS_UNDER=str(folder), HOLD_LOCK=hold,
                LD_PRELOAD=(os.environ.get("LD_PRELOAD", "") + " " + SHIM).strip())


@pytest.mark.parametrize("writers, hold", [
    ("two processes", ""), ("two threads of one process", ""),
    ("two threads of one process holding a lock", "lockf"),
    ("two threads of one process holding a lock", "ofd")])
def test_two_rewrites_in_place_at_once_end_with_one_text_whole(tmp_path, writers, hold):
    """Two writers of one file with a second link (rewritten in place): the
    longer text's writer, set aside before its truncation, must not cut the
    shorter text that landed meanwhile to its own length."""
    folder, target = linked_file(tmp_path)

    def writer(script, faults, *arguments):
        return subprocess.Popen([sys.executable, "-c", script, str(target)] + list(arguments),
                                env=preloaded(folder, faults, hold), stdout=subprocess.PIPE, text=True)
    if writers.startswith("two threads"):
        assert writer(TWO_THREADS, "slowftruncate:1:1000").communicate(timeout=60)[0] == "written\n"
        assert target.read_text() == NEW
        return
    longer = writer(WRITER, "slowftruncate:1:1000", "400")
    deadline = time.monotonic() + 30
    while "\n400=40G\n" not in target.read_text() and time.monotonic() < deadline:
        time.sleep(0.01)  # until the longer text is written, its truncation to come
    shorter = writer(WRITER, "", "1")
    assert [longer.communicate()[0], shorter.communicate()[0]] == ["written\n"] * 2
    assert target.read_text() == NEW


FORKED = """
import json
import os
import subprocess
import sys
""" + LONGER_UNDER_WAY + """
done, lives = os.pipe(), os.pipe()
if os.fork() == 0:
    os.close(lives[1])
    write(1)
    os.write(done[1], b"1")
    os.read(lives[0], 1)  # lives on, as a pool's worker would, until the parent ends
    os._exit(0)
longer.join()
os.read(done[0], 1)
after_child = open(sys.argv[1]).read()
env = dict(os.environ, WRITE_FAULTS="")
try:
    subprocess.run([sys.executable, "-c", sys.argv[2], sys.argv[1], "2"], env=env, timeout=10,
                   check=True, stdout=subprocess.DEVNULL)
    third = "written"
except subprocess.TimeoutExpired:
    third = "waited"
print(json.dumps([after_child, third, open(sys.argv[1]).read()]))
"""


def test_a_child_forked_during_a_rewrite_holds_nothing_of_it(tmp_path):
    """A thread rewrites in place (a second link), set aside before its
    truncation, while another forks: the child's rewrite waits for the
    parent's and lands whole after it, and once both are done a third
    process writes at once while the child still lives."""
    folder, target = linked_file(tmp_path)
    result = subprocess.run([sys.executable, "-c", FORKED, str(target), WRITER],
                            env=preloaded(folder, "slowftruncate:1:1000"), capture_output=True,
                            text=True, timeout=60)
    assert result.returncode == 0, result.stderr
    assert json.loads(result.stdout) == [NEW, "written", NEW.replace("1=40G\n", "1=40G\n2=40G\n")]



# Eight threads rewrite a file of one link (so, replaced by renames) for a while.
IN_A_LOOP = THREAD_WRITES + """
def keep_writing(ports):
    deadline = time.monotonic() + 1.5
    while time.monotonic() < deadline:
        write(ports)
threads = [threading.Thread(target=keep_writing, args=(ports,)) for ports in range(1, 9)]
[thread.start() for thread in threads]
"""
# The name is given a new file with a second link, as an editor saves it,
# while a rewrite in place waits for another's turn; the waiting rewrite
# (its truncation delayed too) is then met by a third.
NAME_REPLACED_WHILE_WAITING = LONGER_UNDER_WAY + """
waiting = threading.Thread(target=write, args=(300,))
waiting.start()
time.sleep(0.2)
saved = os.path.join(os.path.dirname(sys.argv[1]), "saved")
with open(saved, "w") as text:
    text.write("9=10G\\n")
os.link(saved, saved + "~")
os.rename(saved, sys.argv[1])
while "\\n300=40G\\n" not in open(sys.argv[1]).read() and time.monotonic() < deadline:
    time.sleep(0.01)
threads = [longer, waiting, threading.Thread(target=write, args=(1,))]
threads[2].start()
"""
# So again, with the caller's lock on the new file, between a rewrite's
# turn and its open (delayed); a second rewrite (its truncation delayed)
# then takes the new file's turn.
NAME_REPLACED_BEFORE_THE_OPEN = THREAD_WRITES + """
saved = os.path.join(os.path.dirname(sys.argv[1]), "saved")
with open(saved, "w") as text:
    text.write("9=10G\\n")
os.link(saved, saved + "~")
held = os.open(saved, os.O_RDWR)
fcntl.fcntl(held, fcntl.F_OFD_SETLK, struct.pack("hhqqi4x", fcntl.F_WRLCK, 0, 0, 0, 0))
threads = [threading.Thread(target=write, args=(2,)), threading.Thread(target=write, args=(300,))]
threads[0].start()
time.sleep(0.15)
os.rename(saved, sys.argv[1])
threads[1].start()
"""


@pytest.mark.parametrize("script, linked, faults, ports", [
    (IN_A_LOOP, False, "", None),
    (NAME_REPLACED_WHILE_WAITING, True, "slowftruncate:1:1000,slowftruncate:2:1000", 1),
    (NAME_REPLACED_BEFORE_THE_OPEN, True, "slowrdwr:2:500,slowftruncate:1:1000", 2)],
    ids=["eight threads in a loop", "the name replaced while one waits",
         "the name replaced before the open"])
def test_threads_of_one_program_take_turns_at_the_file_the_name_reaches(tmp_path, script, linked,
                                                                        faults, ports):
    """No thread's call fails, and the file ends as one call's text whole:
    the last one's (`ports` ports) where the calls came one after another."""
    if linked:
        folder, target = linked_file(tmp_path)
    else:
        folder = tmp_path / "etc"
        folder.mkdir()
        target = folder / "ports.conf"
        target.write_text(OLD)
    result = subprocess.run([sys.executable, "-c", "import sys\n" + script +
                             "[thread.join() for thread in threads]\n", str(target)],
                            env=preloaded(folder, faults), capture_output=True, text=True, timeout=60)
    assert (result.returncode, result.stderr) == (0, "")
    written = target.read_text().count("=40G\n")
    assert target.read_text() == NEW.replace("1=40G\n", "".join(
        "%d=40G\n" % label for label in range(1, written + 1)))
    assert written == (ports or written)


# A signal handler forks while a rewrite waits for another process's lock:
# the child's call begins again with a descriptor of its own, and both the
# parent's and the child's land once the lock is let go.
HANDLER_FORK = WRITER.replace("try:", """import signal
children = []
signal.signal(signal.SIGALRM, lambda *_: children or children.append(os.fork()))
signal.setitimer(signal.ITIMER_REAL, 0.3)
try:""") + """
if children == [0]:
    sys.stdout.flush()
    os._exit(0)
os.waitpid(children[0], 0)
"""


def test_a_child_forked_by_a_handler_during_the_lock_wait_rewrites_on_its_own(tmp_path):
    folder, target = linked_file(tmp_path)
    with held_elsewhere(target, "ofd"):
        writer = subprocess.Popen([sys.executable, "-c", HANDLER_FORK, str(target)],
                                  env=preloaded(folder, ""), stdout=subprocess.PIPE, text=True)
        time.sleep(1)
    assert writer.communicate(timeout=60)[0] == "written\n" * 2
    assert target.read_text() == NEW
