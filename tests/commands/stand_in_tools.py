"""Stand-in commands for running the project's scripts without their real
tools: each is a small shell script in a folder put first on PATH."""

import os

# The scripts' own settings: a test runs a script with those it sets on
# purpose, never the caller's.
SCRIPT_SETTINGS = ("CMAKE_BUILD_PARALLEL_LEVEL", "FUZZ_JOBS", "FUZZ_TARGETS")


def environment_with(folder, bodies, **variables):
    """Writes one executable script per (name, shell body) of `bodies` into
    `folder` (made if missing) and returns the environment that finds them
    first, before /usr/bin and /bin only, without the caller's settings of
    the scripts."""
    os.makedirs(folder, exist_ok=True)
    for name, body in bodies.items():
        path = os.path.join(folder, name)
        with open(path, "w") as script:
            script.write("#!/bin/sh\n%s\n" % body)
        os.chmod(path, 0o755)
    inherited = {name: value for name, value in os.environ.items()
                 if name not in SCRIPT_SETTINGS}
    return dict(inherited, PATH="%s:/usr/bin:/bin" % folder, **variables)
