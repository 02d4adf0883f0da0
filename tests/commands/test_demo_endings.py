"""The demo programs cut short: a generated file is whole or absent, never
a part; Ctrl-C ends them with one line and status 130; a reader that
closes the pipe early ends them quietly."""

import os
import subprocess
import sys

import pytest

import bringup_run

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


# Runs an example program's entry point with a real SIGINT sent to the
# process at its first line of output.
INTERRUPTED = """
import os, signal, sys
class Interrupting:
    def write(self, text):
        os.kill(os.getpid(), signal.SIGINT)
        return sys.__stdout__.write(text)
    def flush(self):
        sys.__stdout__.flush()
sys.stdout = Interrupting()
sys.argv = sys.argv[1:]
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


@pytest.mark.parametrize("program", PROGRAMS, ids=lambda program: program[0])
def test_ctrl_c_ends_with_one_line(program, tmp_path):
    done = subprocess.run([sys.executable, "-c", INTERRUPTED] + command(program, tmp_path),
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
