"""hex and _compile: the outside assembler's run and every way it fails,
always without a directory left behind."""

import os
import shutil
import signal
import subprocess
import sys
import textwrap
import time

import pytest

from glimmer_helpers import BYTESMITH, Port, board

LINK = "\nset_led:\n        port    a\n        pushst  PORTSTATUS_LINKUP\n        pack\n        ret\n"


def fake_assembler(tmp_path, script):
    path = tmp_path / "fake-assembler"
    path.write_text("#!/bin/sh\n" + script)
    path.chmod(0o755)
    return str(path)


def configured(**attributes):
    attributes.setdefault("_bytesmith", BYTESMITH)
    c = board(num_leds=4, **attributes)()
    c.configure(0, [Port("1", 0, 3, ({0: ("link", LINK, 3)},))])
    return c


@pytest.mark.parametrize("has_phys_id", [False, True])
def test_hex_of_both_variants(temp_location, has_phys_id):
    hex_text = configured(has_phys_id=has_phys_id).hex
    assert hex_text.startswith("bytesmith hex 1\nsize ")
    assert os.listdir(temp_location) == []


def test_assembler_sees_the_program_and_its_arguments(tmp_path, temp_location):
    record = tmp_path / "record"
    script = ('cp "$1.asm" %s/program\necho "$#" "$0" > %s/args\n'
              'streams=$(readlink /proc/$$/fd/0 /proc/$$/fd/1 /proc/$$/fd/2)\n'
              'echo $streams > %s/streams\nprintf "h\\351x" > "$1.hex"\n'
              % (record, record, record))
    record.mkdir()
    c = configured(_bytesmith=fake_assembler(tmp_path, script))
    source = "; caf\u00e9 \udcff\n"
    assert c._compile(source) == "h\udce9x"
    assert (record / "program").read_bytes() == "; caf\u00e9 \udcff\n".encode("utf-8", "surrogateescape")
    assert (record / "args").read_text().split()[0] == "1"
    assert (record / "streams").read_text().split() == ["/dev/null"] * 3
    assert os.listdir(temp_location) == []


def test_hex_reads_asm_through_the_object(tmp_path, temp_location):
    class Fixed(board()):
        _bytesmith = fake_assembler(tmp_path, 'tr a-z A-Z < "$1.asm" > "$1.hex"\n')

        @property
        def asm(self):
            return "program\n"

    assert Fixed().hex == "PROGRAM\n"


@pytest.mark.parametrize("make,error", [
    (lambda tmp: str(tmp / "missing"), FileNotFoundError),
    (lambda tmp: fake_assembler(tmp, "exit 0\n") and (tmp / "fake-assembler").chmod(0o644)
     or str(tmp / "fake-assembler"), PermissionError),
    (lambda tmp: str(tmp), PermissionError),
])
def test_assembler_that_cannot_start(tmp_path, temp_location, make, error):
    c = configured(_bytesmith=make(tmp_path))
    with pytest.raises(error) as raised:
        c.hex
    assert raised.value.filename == c._bytesmith
    assert os.listdir(temp_location) == []


@pytest.mark.parametrize("script,status", [("exit 3\n", 3), ("kill -TERM $$\n", -15)])
def test_assembler_failure(tmp_path, temp_location, script, status):
    c = configured(_bytesmith=fake_assembler(tmp_path, 'echo noise; echo noise >&2\n' + script))
    with pytest.raises(subprocess.CalledProcessError) as raised:
        c.hex
    assert raised.value.returncode == status
    assert raised.value.cmd[0] == c._bytesmith
    assert raised.value.cmd[1].startswith(str(temp_location) + "/tmp")
    assert raised.value.cmd[1].endswith("/code")
    assert raised.value.output is None
    assert os.listdir(temp_location) == []


def test_assembler_leaving_no_hex_file(tmp_path, temp_location):
    c = configured(_bytesmith=fake_assembler(tmp_path, "exit 0\n"))
    with pytest.raises(FileNotFoundError) as raised:
        c.hex
    assert raised.value.filename.endswith("/code.hex")
    assert os.listdir(temp_location) == []


def test_assembler_refusing_a_faulty_program(temp_location):
    c = configured()
    c._led_port_call(("link", "set_led:\n        nop\n", 2), 1)  # a second set_led_link
    with pytest.raises(subprocess.CalledProcessError):
        c.hex
    assert os.listdir(temp_location) == []


class TimedOut(Exception):
    pass


@pytest.fixture
def alarm():
    """Arms SIGALRM in one second with the given handler; restores the old one."""
    previous = signal.getsignal(signal.SIGALRM)
    yield lambda handler: (signal.signal(signal.SIGALRM, handler), signal.alarm(1))
    signal.alarm(0)
    signal.signal(signal.SIGALRM, previous)


def test_signal_handler_exception_ends_the_wait(tmp_path, temp_location, alarm):
    pid_file = tmp_path / "pid"
    c = configured(_bytesmith=fake_assembler(tmp_path, 'echo $$ > %s\nexec sleep 20\n' % pid_file))

    def time_out(signum, frame):
        raise TimedOut()

    alarm(time_out)
    start = time.monotonic()
    with pytest.raises(TimedOut):
        c.hex
    assert time.monotonic() - start < 10
    # The assembler is killed and reaped, its directory gone.
    assert not os.path.exists("/proc/%s" % pid_file.read_text().strip())
    assert os.listdir(temp_location) == []


def test_signal_handler_that_returns_lets_the_wait_go_on(tmp_path, temp_location, alarm):
    seen = []
    c = configured(_bytesmith=fake_assembler(tmp_path, 'sleep 2\necho done > "$1.hex"\n'))
    alarm(lambda signum, frame: seen.append(signum))
    assert c.hex == "done\n"
    assert seen == [signal.SIGALRM]
    assert os.listdir(temp_location) == []


def test_unusable_temporary_location(tmp_path, monkeypatch):
    import tempfile
    monkeypatch.setattr(tempfile, "tempdir", str(tmp_path / "absent"))
    with pytest.raises(FileNotFoundError):
        configured().hex


CLEANUP_FAILURE = """
import errno, os, subprocess, sys, tempfile
sys.path[:0] = %(path)r
tempfile.tempdir = %(location)r
import glimmer
class Box(glimmer.TridentLEDController):
    num_leds = 1
    _bytesmith = %(assembler)r
try:
    Box().hex
except OSError as error:
    context = error.__context__
    assert error.errno == errno.EBUSY, error
    assert isinstance(context, subprocess.CalledProcessError), context
    assert context.returncode == 4
    print("replaced")
"""


@pytest.mark.skipif(os.geteuid() != 0 or not shutil.which("unshare"),
                    reason="needs root for a private mount namespace")
def test_failed_cleanup_keeps_the_first_error_as_context(tmp_path):
    location = tmp_path / "tmp"
    location.mkdir()
    # A mount inside the run's directory makes its removal fail.
    assembler = fake_assembler(tmp_path, 'mkdir "$1.mnt" && mount -t tmpfs none "$1.mnt"\nexit 4\n')
    script = CLEANUP_FAILURE % {"path": sys.path, "location": str(location), "assembler": assembler}
    run = subprocess.run(["unshare", "-m", "--propagation", "private", sys.executable, "-c",
                          textwrap.dedent(script)], capture_output=True, text=True)
    if "mount" in run.stderr and "permission" in run.stderr.lower():
        pytest.skip("mounts are not permitted here")
    assert run.stdout == "replaced\n", run.stderr
