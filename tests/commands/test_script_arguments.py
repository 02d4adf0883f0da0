"""The README's commands read their arguments before doing anything else:
--help prints the usage and succeeds; an unknown option, an empty folder
name or a stray argument is refused with the usage and status 2, and
nothing is built, run or created. The scripts run from a copy of scripts/
alone, with stand-ins for the build tools on PATH, so one that went on
past its arguments finds nothing to build or run."""

import os
import shutil
import subprocess

import pytest

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
STAND_INS = {"cmake": "", "ctest": "", "apt-get": "exit 1",
             "dpkg-query": 'printf "install ok installed"'}

# (script, arguments, status, text expected on the output of that status)
CASES = [
    ("demo", ["--help"], 0, "usage: scripts/demo [DIR]"),
    ("demo", ["--bogus"], 2, "unknown option: --bogus"),
    ("demo", [""], 2, "the output folder name is empty"),
    ("demo", ["a", "b"], 2, "one output folder at most"),
    ("demo", ["--model", "a"], 2, "--model takes no folder"),
    ("test", ["--help"], 0, "usage: scripts/test"),
    ("test", ["--bogus"], 2, "unknown option: --bogus"),
    ("test", [""], 2, "takes no arguments"),
    ("sanitize-test", ["-h"], 0, "usage: scripts/sanitize-test"),
    ("sanitize-test", ["--bogus"], 2, "unknown option: --bogus"),
    ("sanitize-test", ["x"], 2, "takes no arguments"),
    ("fuzz", ["--help"], 0, "usage: scripts/fuzz [SECONDS]"),
    ("fuzz", ["--bogus"], 2, "unknown option: --bogus"),
    ("fuzz", [""], 2, "SECONDS must be a whole number, not ''"),
    ("fuzz", ["1m"], 2, "SECONDS must be a whole number, not '1m'"),
    ("fuzz", ["0"], 2, "SECONDS must be more than 0"),
    ("fuzz", ["--replay", "5"], 2, "--replay takes nothing more"),
]


@pytest.mark.parametrize("script,arguments,status,text", CASES)
def test_arguments_are_read_first(tmp_path, script, arguments, status, text):
    shutil.copytree(os.path.join(ROOT, "scripts"), tmp_path / "scripts")
    stand_ins = tmp_path / "stand-ins"
    stand_ins.mkdir()
    for name, body in STAND_INS.items():
        (stand_ins / name).write_text("#!/bin/sh\n%s\n" % body)
        (stand_ins / name).chmod(0o755)
    env = dict(os.environ, PATH="%s:/usr/bin:/bin" % stand_ins)
    done = subprocess.run(["sh", str(tmp_path / "scripts" / script)] + arguments, env=env,
                          capture_output=True, text=True, timeout=60)
    assert done.returncode == status, done.stderr
    if status == 0:
        assert done.stdout.startswith(text) and done.stderr == ""
    else:
        assert done.stdout == ""
        assert done.stderr.startswith("scripts/%s: %s\nusage: scripts/%s" % (script, text, script))
    assert sorted(os.listdir(tmp_path)) == ["scripts", "stand-ins"]
