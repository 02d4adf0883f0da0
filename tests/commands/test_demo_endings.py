"""The demo programs cut short: a generated file is whole or absent, never
a part; Ctrl-C ends them with one line and status 130, even one whose
exception the host drops; a reader that closes the pipe early ends them
quietly; an output folder or a standard output that cannot be written
ends scripts/demo with one line naming it and the reason, status 1."""

import os
import re
import shutil
import signal
import subprocess
import sys
import time

import pytest

import bringup_run
from stand_in_tools import environment_with

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
EXAMPLES = os.path.join(ROOT, "examples")


def test_write_whole_replaces_the_file_byte_for_byte(tmp_path):
    path = tmp_path / "porttab"
    path.write_text("old text, longer than the new one\n")
    bringup_run.write_whole(str(path), "a\r\nb\udcff")
    assert path.read_bytes() == b"a\r\nb\xff"
    assert os.listdir(tmp_path) == ["porttab"]


def test_write_whole_cut_short_keeps_the_old_file(tmp_path, monkeypatch):
    path = tmp_path / "porttab"
    path.write_text("old\n")

    def interrupted(source, target):
        raise KeyboardInterrupt
    monkeypatch.setattr(os, "replace", interrupted)
    with pytest.raises(KeyboardInterrupt):
        bringup_run.write_whole(str(path), "new\n")
    assert path.read_text() == "old\n"
    assert os.listdir(tmp_path) == ["porttab"]


def test_write_whole_names_a_temporary_file_it_cannot_remove(tmp_path, monkeypatch):
    def interrupted(source, target):
        raise KeyboardInterrupt

    def refused(path):
        raise PermissionError(13, "Permission denied")
    monkeypatch.setattr(os, "replace", interrupted)
    monkeypatch.setattr(os, "unlink", refused)
    with pytest.raises(bringup_run.CannotWrite, match=r"cannot write .*/\.porttab\.\d+\.tmp: "
                                                      r"Permission denied"):
        bringup_run.write_whole(str(tmp_path / "porttab"), "new\n")


# Runs an example program's entry point with a real SIGINT sent to the
# process at its first line of output: "raised" where the program runs,
# "dropped" inside a finaliser, whose exception the host only reports,
# "turned" where a callback turns it into an error of its own.
INTERRUPTED = """
import os, signal, sys
def interrupt():
    os.kill(os.getpid(), signal.SIGINT)
    for _ in range(1000):  # the handler runs here
        pass
class Dropping:
    def __del__(self):
        interrupt()
class Interrupting:
    def write(self, text):
        if how == "raised":
            interrupt()
        elif how == "dropped":
            Dropping()
        else:
            try:
                interrupt()
            except KeyboardInterrupt:
                raise RuntimeError("the callback failed")
        return sys.__stdout__.write(text)
    def flush(self):
        sys.__stdout__.flush()
sys.stdout = Interrupting()
how = sys.argv[1]
sys.argv = sys.argv[2:]
import runpy
runpy.run_path(sys.argv[0], run_name="__main__")
"""

PROGRAMS = [["bringup_run.py", "{out}"], ["demo.py"]]


def command(program, tmp_path):
    return [os.path.join(EXAMPLES, program[0])] + [
        word.format(out=str(tmp_path / "out")) for word in program[1:]]


def environment():
    build = os.environ.get("SWITCH_BUILD_DIR", os.path.join(ROOT, "build"))
    return dict(os.environ, PYTHONPATH="%s:%s" % (os.path.join(build, "python"),
                                                  os.path.join(ROOT, "host", "python")))


@pytest.mark.parametrize("how", ["raised", "dropped", "turned"])
@pytest.mark.parametrize("program", PROGRAMS, ids=lambda program: program[0])
def test_ctrl_c_ends_with_one_line(program, how, tmp_path):
    done = subprocess.run([sys.executable, "-c", INTERRUPTED, how] + command(program, tmp_path),
                          env=environment(), capture_output=True, text=True, timeout=120)
    assert (done.returncode, done.stderr) == (130, "interrupted\n")
    for folder, _, names in os.walk(tmp_path):
        assert not [name for name in names if name.endswith(".tmp")], folder


@pytest.mark.parametrize("program", PROGRAMS, ids=lambda program: program[0])
def test_a_closed_pipe_ends_quietly(program, tmp_path):
    reader, writer = os.pipe()
    os.close(reader)
    try:
        done = subprocess.run([sys.executable] + command(program, tmp_path), stdout=writer,
                              env=environment(), stderr=subprocess.PIPE, text=True,
                              timeout=120)
    finally:
        os.close(writer)
    assert (done.returncode, done.stderr) == (0, "")


GOLDEN = os.path.join(ROOT, "tests", "bringup", "golden")


# A project of its own for the build step: real cmake and make, with
# nothing to build.
NOTHING_TO_BUILD = """cmake_minimum_required(VERSION 3.18)
project(nothing_to_build NONE)
add_custom_target(main_job)
"""


def demo_in_copy(tmp_path, real_cmake=False):
    """Runs scripts/demo from a copy of the repository whose modules,
    examples and stand-ins are the real ones, with a build step that
    builds nothing: a stand-in cmake, or the real one over a project with
    nothing to build. Returns the function that starts it; its result is
    the finished process, or, with `started`, the running one."""
    repo = tmp_path / "repo"
    shutil.copytree(os.path.join(ROOT, "scripts"), repo / "scripts")
    build = os.environ.get("SWITCH_BUILD_DIR", os.path.join(ROOT, "build"))
    for name, target in (("examples", EXAMPLES), ("host", os.path.join(ROOT, "host"))):
        os.symlink(target, repo / name)
    stand_ins = {"dpkg-query": 'printf "install ok installed"'}
    if real_cmake:
        (repo / "CMakeLists.txt").write_text(NOTHING_TO_BUILD)
        (repo / "build").mkdir()
        for name in ("python", "host"):
            os.symlink(os.path.join(build, name), repo / "build" / name)
    else:
        os.symlink(build, repo / "build")
        stand_ins["cmake"] = ""
    env = environment_with(str(tmp_path / "stand-ins"), stand_ins)

    def run(arguments, cwd, wrapper=(), started=False, **options):
        command = list(wrapper) + ["sh", str(repo / "scripts" / "demo")] + arguments
        options = dict(dict(stdout=subprocess.PIPE, stderr=subprocess.PIPE), **options)
        if started:
            return subprocess.Popen(command, cwd=cwd, env=env, text=True, **options)
        return subprocess.run(command, cwd=cwd, env=env, text=True, timeout=120, **options)
    run.repo = repo
    return run


@pytest.fixture
def demo(tmp_path):
    return demo_in_copy(tmp_path)


def assert_whole(folder, complete=False):
    """Every file in the platform folders under `folder` is its golden text
    in full; no temporary file is left. Complete: every platform's every
    file is there."""
    if complete:
        assert sorted(os.listdir(folder)) == sorted(bringup_run.PLATFORMS)
    for platform in os.listdir(folder):
        if not os.path.isdir(os.path.join(folder, platform)):
            continue
        if complete:
            assert sorted(os.listdir(os.path.join(folder, platform))) == sorted(
                os.listdir(os.path.join(GOLDEN, platform))), platform
        for name in os.listdir(os.path.join(folder, platform)):
            with open(os.path.join(folder, platform, name), "rb") as written, \
                    open(os.path.join(GOLDEN, platform, name), "rb") as golden:
                assert written.read() == golden.read(), (platform, name)


def test_a_relative_folder_is_taken_from_the_callers_directory(demo, tmp_path):
    here = tmp_path / "elsewhere"
    here.mkdir()
    done = demo(["rel"], here)
    assert (done.returncode, done.stderr) == (0, "")
    assert " files in rel/maverick_box\n" in done.stdout
    assert_whole(here / "rel", complete=True)
    assert not os.path.exists(demo.repo / "rel")


def test_a_closed_pipe_drops_the_summary_not_the_files(demo, tmp_path):
    reader, writer = os.pipe()
    os.close(reader)
    try:
        done = demo(["out"], tmp_path, stdout=writer)
    finally:
        os.close(writer)
    assert (done.returncode, done.stderr) == (0, "")
    assert_whole(tmp_path / "out", complete=True)


# (what is in the way, standard output, path and reason named; every file
# written before the line)
UNWRITABLE = [
    ("afile", "/dev/null", "afile/trident_two_box: Not a directory", False),
    ("out/trident_three_box", "/dev/null", "out/trident_three_box: File exists", False),
    (None, "/dev/full", "standard output: No space left on device", True),
    (None, "closed", "standard output: Bad file descriptor", False),
]


@pytest.mark.parametrize("in_the_way,stdout,named,complete", UNWRITABLE)
def test_an_unwritable_output_ends_with_one_line(demo, tmp_path, in_the_way, stdout, named,
                                                 complete):
    folder = (in_the_way or "out").split("/")[0]
    if in_the_way:
        os.makedirs(os.path.dirname(tmp_path / in_the_way), exist_ok=True)
        (tmp_path / in_the_way).write_text("in the way\n")
    wrapper = ["sh", "-c", '"$@" >&-', "sh"] if stdout == "closed" else []
    with open(os.devnull if stdout == "closed" else stdout, "w") as output:
        done = demo([folder], tmp_path, wrapper, stdout=output)
    assert (done.returncode, done.stderr) == (1, "scripts/demo: cannot write %s\n" % named)
    if in_the_way:
        assert (tmp_path / in_the_way).read_text() == "in the way\n"
    if complete or os.path.isdir(tmp_path / folder):
        assert_whole(tmp_path / folder, complete)


# (mount options of a private tmpfs, those it is remounted with after a
# first run of the demo, the line's pattern)
FULL_OR_READ_ONLY = [
    ("size=100k", "", r"scripts/demo: cannot write out/\w+/[\w.]+: No space left on device\n"),
    ("ro", "", r"scripts/demo: cannot write out: Read-only file system\n"),
    ("rw", "ro", r"scripts/demo: cannot write out/trident_two_box/portsbcm: "
     r"Read-only file system\n"),
]


@pytest.mark.skipif(os.geteuid() != 0, reason="a private tmpfs needs root")
@pytest.mark.parametrize("options,remount,line", FULL_OR_READ_ONLY)
def test_a_full_or_read_only_disk_ends_with_one_line(demo, tmp_path, options, remount, line):
    mount, kept = tmp_path / "mnt", tmp_path / "kept"
    mount.mkdir()
    # The tmpfs goes with the namespace: what the demo wrote is copied out.
    script = ('options=$1 remount=$2 mount=$3 kept=$4; shift 4; '
              'mount -t tmpfs -o "$options" tmpfs "$mount" || exit 99; cd "$mount"; '
              'if [ -n "$remount" ]; then "$@" >/dev/null || exit 98; '
              'mount -o remount,"$remount" "$mount" || exit 99; fi; '
              '"$@"; status=$?; [ ! -d out ] || cp -r out "$kept"; exit $status')
    done = demo(["out"], tmp_path, ["unshare", "-m", "sh", "-c", script, "sh", options, remount,
                                   str(mount), str(kept)])
    if done.returncode == 99:
        pytest.skip("no private tmpfs here: " + done.stderr)
    assert re.fullmatch(line, done.stderr) and done.returncode == 1, done.stderr
    if os.path.isdir(kept):
        assert_whole(kept)


def group_names(group):
    """The command names of the processes of a process group."""
    names = []
    for entry in os.listdir("/proc"):
        try:
            with open("/proc/%s/stat" % entry) as stat:
                fields = stat.read()
        except (OSError, ValueError):
            continue  # not a process, or one that ended meanwhile
        # "pid (name) state ppid pgrp ...": the name may hold blanks.
        if int(fields[fields.rindex(")") + 2:].split()[2]) == group:
            names.append(fields[fields.index("(") + 1:fields.rindex(")")])
    return names


# Ctrl-C, sent to the demo's process group as a terminal does, the given
# seconds after the first process of that name appeared in it: while cmake
# configures, while make checks what is up to date, in the interpreter's
# start-up (where a Ctrl-C the program cannot yet take must still count),
# and as the program starts its work.
MOMENTS = [("cmake", 0), ("gmake", 0), ("python3", 0), ("python3", 0.015)]


def with_ctrl_c_at_its_default():
    """Started from a terminal, the demo takes Ctrl-C at its default, even
    where these tests run with it ignored (as a background job of a script
    starts), which the demo's shell would keep."""
    signal.signal(signal.SIGINT, signal.SIG_DFL)


@pytest.mark.parametrize("name,seconds", MOMENTS)
def test_ctrl_c_anywhere_in_the_demo_ends_with_one_line(tmp_path, name, seconds):
    run = demo_in_copy(tmp_path, real_cmake=True)
    started = run(["out"], tmp_path, started=True, stdout=subprocess.DEVNULL,
                  start_new_session=True, preexec_fn=with_ctrl_c_at_its_default)
    try:
        while name not in group_names(started.pid):
            assert started.poll() is None, "the demo ended before %s ran" % name
        time.sleep(seconds)
        os.killpg(started.pid, signal.SIGINT)
        error = started.communicate(timeout=120)[1]
    finally:
        if started.poll() is None:
            started.kill()
    assert (started.returncode, error.splitlines()[-1:]) == (130, ["interrupted"]), error
    assert "Traceback" not in error and "Fatal" not in error, error
    if os.path.isdir(tmp_path / "out"):
        assert_whole(tmp_path / "out")
