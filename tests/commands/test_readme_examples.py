"""Each worked example of the README runs as written and prints the text
shown after it: a ```python block, then a ```text block of its output."""

import os
import re
import subprocess
import sys

import pytest

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
EXAMPLE = re.compile(r"```python\n(.*?)```\n\n```text\n(.*?)```", re.S)


def readme_examples():
    with open(os.path.join(ROOT, "README.md"), encoding="utf-8") as handle:
        return EXAMPLE.findall(handle.read())


def test_the_readme_has_one_example_per_module():
    # A change of the README's block format must not leave nothing to run.
    assert len(readme_examples()) == 4


@pytest.mark.parametrize("code,output", readme_examples())
def test_readme_example_prints_what_the_readme_shows(code, output):
    build = os.environ.get("SWITCH_BUILD_DIR", os.path.join(ROOT, "build"))
    path = ":".join([os.path.join(build, "python"), os.path.join(ROOT, "host", "python"),
                     os.path.join(ROOT, "examples")])
    done = subprocess.run([sys.executable, "-"], input=code, cwd=ROOT, capture_output=True,
                          text=True, env=dict(os.environ, PYTHONPATH=path), timeout=120)
    assert (done.stderr, done.stdout) == ("", output)
