"""Runs a script in a child interpreter on the same module path, so that a
crash or a failed start-up is reported instead of ending the test run."""

import os
import subprocess
import sys


def run_python(script, **environment):
    return subprocess.run([sys.executable, "-c", script], capture_output=True, text=True,
                          env=dict(os.environ, PYTHONPATH=os.pathsep.join(sys.path),
                                   **environment))
