"""Boardinfo, IPRoute2 and Ifmaker: dummy answers, and `ip` found through
PATH at call time (a fake `ip` records its words)."""

import os
import stat
import subprocess

import pytest

import bringup


def test_dummy_answers_run_nothing(monkeypatch):
    monkeypatch.setenv("PATH", "/nonexistent")
    board = bringup.Boardinfo(dummy=True, sw_base="bcm")
    assert (board.macaddr, board.macrange, board.sw_base) == ("ff:ff:ff:ff:ff:00", 255, "bcm")
    assert bringup.IPRoute2(dummy=True).run(["link", "del", "dev", "x"]) == ""
    assert bringup.Ifmaker(True).run(["show"]) == ""
    assert vars(bringup.Boardinfo()) == {"dummy": False, "sw_base": None}


@pytest.fixture
def fake_ip(tmp_path, monkeypatch):
    """An `ip` first on PATH that records its arguments, exits with $IP_STATUS."""
    program = tmp_path / "ip"
    program.write_text('#!/bin/sh\nprintf "%s|" "$@" >> "$IP_LOG"\necho out\nexit "${IP_STATUS:-0}"\n')
    program.chmod(program.stat().st_mode | stat.S_IXUSR)
    monkeypatch.setenv("PATH", str(tmp_path) + os.pathsep + os.environ["PATH"])
    monkeypatch.setenv("IP_LOG", str(tmp_path / "log"))
    return tmp_path / "log"


def test_ip_runs_the_words_as_given(fake_ip):
    assert bringup.IPRoute2().run(["link", "del", "dev", "swp 1"]) == "out\n"
    assert fake_ip.read_text() == "link|del|dev|swp 1|"


def test_failing_ip_is_the_process_error(fake_ip, monkeypatch):
    monkeypatch.setenv("IP_STATUS", "3")
    with pytest.raises(subprocess.CalledProcessError) as caught:
        bringup.IPRoute2().run(["link"])
    assert (caught.value.returncode, caught.value.cmd, caught.value.output) == (3, ["ip", "link"], "out\n")


def test_missing_program_is_an_os_error(monkeypatch):
    monkeypatch.setenv("PATH", "/nonexistent")
    with pytest.raises(FileNotFoundError):
        bringup.IPRoute2().run(["link"])


def test_eeprom_failure_is_logged_then_raised(monkeypatch):
    """Without the tool at its fixed path, the run fails to start."""
    if os.path.exists("/usr/tervane/bin/boardinfo"):
        pytest.skip("a boardinfo tool is installed here")
    logged = []
    monkeypatch.setattr(bringup, "syslog", type("S", (), {
        "LOG_ERR": 3, "syslog": staticmethod(lambda *args: logged.append(args))}))
    monkeypatch.setattr(bringup.sys, "tracebacklimit", 1000, raising=False)
    for attribute, text in (("macaddr", "error: boardinfo -a failed"),
                            ("macrange", "error: boardinfo -r failed")):
        with pytest.raises(RuntimeError, match="^%s$" % text):
            getattr(bringup.Boardinfo(), attribute)
    assert logged == [(3, "error: boardinfo -a failed"), (3, "error: boardinfo -r failed")]
    assert bringup.sys.tracebacklimit == 0


@pytest.mark.parametrize("words", [["link", "del", "dev", "swp\x001"], ["link\x00"]])
def test_a_nul_in_a_word_starts_nothing(fake_ip, words):
    with pytest.raises(ValueError, match="^embedded null byte$"):
        bringup.IPRoute2().run(words)
    assert not fake_ip.exists()


@pytest.mark.parametrize("runner", [bringup.IPRoute2, bringup.Ifmaker])
@pytest.mark.parametrize("dummy", [True, False])
@pytest.mark.parametrize("args", ["link show", b"link show", bytearray(b"link")])
def test_a_text_is_not_a_list_of_words(fake_ip, runner, dummy, args):
    with pytest.raises(TypeError, match="list of argument words, not a text"):
        runner(dummy=dummy).run(args)
    assert not fake_ip.exists()
