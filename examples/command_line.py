"""How the example programs end when cut short: Ctrl-C stops them with one
line and the status a shell gives an interrupted command (130), and a
reader that closes the pipe early (as `| head` does) ends them quietly with
status 0; neither prints a traceback."""

import os
import signal
import sys


def _uncaught(kind, value, traceback):
    if not issubclass(kind, KeyboardInterrupt):
        sys.__excepthook__(kind, value, traceback)
        return
    # Every `finally` and `except` on the way has run: no temporary file is
    # left. What was printed goes out before the process ends.
    try:
        sys.stdout.flush()
    except OSError:
        pass
    sys.stderr.write("interrupted\n")
    sys.stderr.flush()
    os._exit(130)


def _interrupted(signum, frame):
    # Ctrl-C reaches every process of the terminal's group, the program's
    # children too: a second one must not interrupt the ending.
    signal.signal(signal.SIGINT, signal.SIG_IGN)
    raise KeyboardInterrupt


def quiet_interrupt():
    """Makes Ctrl-C, wherever it stops the program, end it as above."""
    sys.excepthook = _uncaught
    signal.signal(signal.SIGINT, _interrupted)


def run(main):
    """Runs `main()` and flushes standard output; a closed pipe ends the
    program quietly."""
    try:
        main()
        sys.stdout.flush()
    except BrokenPipeError:
        # The interpreter flushes standard output once more while exiting:
        # pointed at /dev/null, that flush cannot fail again.
        devnull = os.open(os.devnull, os.O_WRONLY)
        os.dup2(devnull, sys.stdout.fileno())
        sys.exit(0)
