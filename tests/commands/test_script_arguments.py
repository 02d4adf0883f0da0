"""The README's commands read their arguments before doing anything else:
--help prints the usage and succeeds; an unknown option, an empty folder
name, a stray argument or an unknown name in a setting is refused with
the usage and status 2, and nothing is built, run or created. The scripts
run from a copy of scripts/ and .ci/ alone, with stand-ins for the build
tools on PATH, so one that went on past its arguments finds nothing to
build or run."""

import os
import re
import shutil
import subprocess

import pytest

from stand_in_tools import environment_with

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
COPIED = ["scripts", ".ci"]
STAND_INS = {"cmake": "", "ctest": "", "apt-get": "exit 1",
             "dpkg-query": 'printf "install ok installed"'}

# (script, arguments, status, text expected on the output of that status)
CASES = [
    ("scripts/demo", ["--help"], 0, "usage: scripts/demo [DIR]"),
    ("scripts/demo", ["--bogus"], 2, "unknown option: --bogus"),
    ("scripts/demo", [""], 2, "the output folder name is empty"),
    ("scripts/demo", ["a", "b"], 2, "one output folder at most"),
    ("scripts/demo", ["--model", "a"], 2, "--model takes no folder"),
    ("scripts/demo", ["--", "-a", "b"], 2, "one output folder at most"),
    ("scripts/test", ["--help"], 0, "usage: scripts/test"),
    ("scripts/test", ["--bogus"], 2, "unknown option: --bogus"),
    ("scripts/test", [""], 2, "takes no arguments"),
    ("scripts/sanitize-test", ["-h"], 0, "usage: scripts/sanitize-test"),
    ("scripts/sanitize-test", ["--bogus"], 2, "unknown option: --bogus"),
    ("scripts/sanitize-test", ["x"], 2, "takes no arguments"),
    ("scripts/fuzz", ["--help"], 0, "usage: scripts/fuzz [SECONDS]"),
    ("scripts/fuzz", ["--bogus"], 2, "unknown option: --bogus"),
    ("scripts/fuzz", [""], 2, "SECONDS must be a whole number, not ''"),
    ("scripts/fuzz", ["1m"], 2, "SECONDS must be a whole number, not '1m'"),
    ("scripts/fuzz", ["0"], 2, "SECONDS must be more than 0"),
    ("scripts/fuzz", ["--replay", "5"], 2, "--replay takes nothing more"),
    ("scripts/fuzz", ["99999999999999999999999"], 2,
     "SECONDS must be at most 999999999, not '99999999999999999999999'"),
    ("scripts/fuzz", ["0000"], 2, "SECONDS must be more than 0"),
    ("scripts/fuzz", ["FUZZ_TARGETS=nosuch", "--replay"], 2,
     "FUZZ_TARGETS names no fuzz target: 'nosuch'"),
    ("scripts/fuzz", ["FUZZ_TARGETS=*", "--replay"], 2, "FUZZ_TARGETS names no fuzz target: '*'"),
    ("scripts/fuzz", ["FUZZ_JOBS=0", "1"], 2, "FUZZ_JOBS must be more than 0"),
    ("scripts/fuzz", ["FUZZ_JOBS=-1"], 2, "FUZZ_JOBS must be a whole number, not '-1'"),
    ("scripts/fuzz", ["FUZZ_JOBS=abc", "1"], 2, "FUZZ_JOBS must be a whole number, not 'abc'"),
    ("scripts/build", ["--help"], 0, "usage: scripts/build"),
    ("scripts/build", ["--bogus"], 2, "unknown option: --bogus"),
    ("scripts/build", ["x"], 2, "takes no arguments"),
    ("scripts/build", ["--main-job", "x"], 2, "--main-job takes nothing more"),
    ("scripts/install-deps", ["--help"], 0, "usage: scripts/install-deps"),
    ("scripts/install-deps", ["--bogus"], 2, "unknown option: --bogus"),
    ("scripts/install-deps", ["x"], 2, "takes no arguments"),
    ("scripts/install-deps", ["--main-job", "x"], 2, "--main-job takes nothing more"),
    (".ci/run", ["--help"], 0, "usage: .ci/run"),
    (".ci/run", ["--bogus"], 2, "unknown option: --bogus"),
    (".ci/run", ["x"], 2, "takes no arguments"),
    (".ci/run", ["FUZZ_TARGETS=nosuch"], 2, "FUZZ_TARGETS names no fuzz target: 'nosuch'"),
]
SCRIPTS = sorted({case[0] for case in CASES})
CASES += [(script, ["--help", "extra"], 2, "--help takes nothing more") for script in SCRIPTS]
# Every script that builds checks the build's jobs before it starts.
CASES += [(script, ["CMAKE_BUILD_PARALLEL_LEVEL=" + value], 2, text)
          for script in SCRIPTS if script != "scripts/install-deps"
          for value, text in (("abc", "CMAKE_BUILD_PARALLEL_LEVEL must be a whole number, "
                                      "not 'abc'"),
                              ("0", "CMAKE_BUILD_PARALLEL_LEVEL must be more than 0"))]


def test_every_script_prints_its_usage():
    # scripts/lib/ holds what the scripts source, not scripts.
    scripts = {"scripts/" + name for name in os.listdir(os.path.join(ROOT, "scripts"))
               if os.path.isfile(os.path.join(ROOT, "scripts", name))}
    assert {case[0] for case in CASES if case[2] == 0} == scripts | {".ci/run"}


@pytest.mark.parametrize("script,arguments,status,text", CASES)
def test_arguments_are_read_first(tmp_path, script, arguments, status, text):
    for folder in COPIED:
        shutil.copytree(os.path.join(ROOT, folder), tmp_path / folder)
    env = environment_with(str(tmp_path / "stand-ins"), STAND_INS)
    # Leading NAME=value words are settings, as a shell takes them.
    settings = [word for word in arguments if re.match(r"[A-Z_]+=", word)]
    done = subprocess.run(["env"] + settings + ["sh", str(tmp_path / script)] +
                          arguments[len(settings):], env=env,
                          capture_output=True, text=True, timeout=60)
    assert done.returncode == status, done.stderr
    if status == 0:
        assert done.stdout.startswith(text) and done.stderr == ""
    else:
        assert done.stdout == ""
        first, second = done.stderr.split("\n")[:2]
        assert first.startswith("%s: %s" % (script, text)) and second.startswith(
            "usage: " + script)
    assert sorted(os.listdir(tmp_path)) == sorted(COPIED + ["stand-ins"])


@pytest.mark.parametrize("script", SCRIPTS)
def test_the_help_names_every_setting_read(script):
    with open(os.path.join(ROOT, script)) as text:
        settings = set(re.findall(r"\$\{([A-Z][A-Z_]+):-", text.read()))
    done = subprocess.run(["sh", os.path.join(ROOT, script), "--help"], capture_output=True,
                          text=True, timeout=60)
    assert [name for name in sorted(settings) if name not in done.stdout] == []


# A libFuzzer target's stand-in: notes its run in build-fuzz/runs and
# reports it, and the one named "crashing" leaves a crash input where it
# is told to and fails.
FUZZ_TARGET = """for a; do case $a in -artifact_prefix=*) prefix=${a#*=} ;; esac; done
echo "${0##*_}" >>build-fuzz/runs
echo "#12 DONE cov: 34"
case $0 in *crashing) echo input >"${prefix}crash-1"; exit 1 ;; esac
"""


def run_fuzz(root, arguments, **settings):
    """Runs scripts/fuzz from a copy of scripts/ at `root` over the stand-in
    targets "clean" and "crashing", each with a crash input kept from
    before."""
    shutil.copytree(os.path.join(ROOT, "scripts"), root / "scripts")
    targets = root / "build-fuzz" / "tests" / "fuzz"
    environment_with(str(targets), {"fuzz_clean": FUZZ_TARGET, "fuzz_crashing": FUZZ_TARGET})
    for target in ("clean", "crashing"):
        os.makedirs(root / "tests" / "fuzz" / "crashes" / target)
        (root / "tests" / "fuzz" / ("fuzz_%s.cpp" % target)).write_text("")
        (root / "tests" / "fuzz" / "crashes" / target / "kept-input").write_text("old\n")
    env = environment_with(str(root / "stand-ins"), STAND_INS, **settings)
    return subprocess.run(["sh", str(root / "scripts" / "fuzz")] + arguments, env=env,
                          capture_output=True, text=True, timeout=60)


# The caller's settings, each of which would change the run: a test sets
# those it means to test.
@pytest.mark.parametrize("caller", [{}, {"FUZZ_TARGETS": "clean", "FUZZ_JOBS": "0",
                                         "CMAKE_BUILD_PARALLEL_LEVEL": "0"}])
def test_fuzz_names_only_the_crash_inputs_this_run_found(tmp_path, monkeypatch, caller):
    for name, value in caller.items():
        monkeypatch.setenv(name, value)
    done = run_fuzz(tmp_path, ["1"])
    assert (done.returncode, done.stdout) == (1, (
        "clean: 12 executions, coverage 34\n"
        "crashing: 12 executions, coverage 34\n"
        "  new crash inputs kept in tests/fuzz/crashes/crashing/: crash-1\n")), done.stderr
    assert sorted(os.listdir(tmp_path / "tests" / "fuzz" / "crashes" / "crashing")) == [
        "crash-1", "kept-input"]


# (FUZZ_TARGETS, arguments, the targets run, in their order for a replay):
# blanks alone name every target; a name given again runs once.
FUZZ_TARGET_RUNS = [
    (" ", ["--replay"], ["clean", "crashing"]),
    ("\t", ["1"], ["clean", "crashing"]),
    ("crashing clean crashing", ["--replay"], ["crashing", "clean"]),
    ("clean  clean", ["1"], ["clean"]),
]


@pytest.mark.parametrize("names,arguments,runs", FUZZ_TARGET_RUNS)
def test_fuzz_runs_each_target_named_once(tmp_path, names, arguments, runs):
    run_fuzz(tmp_path, arguments, FUZZ_TARGETS=names)
    noted = tmp_path / "build-fuzz" / "runs"
    ran = noted.read_text().split() if noted.exists() else []
    assert (ran if arguments == ["--replay"] else sorted(ran)) == runs
