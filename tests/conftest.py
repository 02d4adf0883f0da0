"""Puts the built modules, the host stand-ins and the examples on the path,
so `/usr/bin/python3 -m pytest tests` works from the repository root as well
as under ctest."""

import os
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
BUILD = os.environ.get("SWITCH_BUILD_DIR", os.path.join(ROOT, "build"))
for path in (os.path.join(ROOT, "examples"), os.path.join(ROOT, "host", "python"),
             os.path.join(BUILD, "python")):
    if path not in sys.path:
        sys.path.insert(0, path)
