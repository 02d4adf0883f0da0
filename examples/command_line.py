"""How the example programs end when cut short: Ctrl-C stops them with one
line and the status a shell gives an interrupted command (130), and a
reader that closes the pipe early (as `| head` does) ends them quietly with
status 0; neither prints a traceback."""

import os
import sys


def run(main):
    """Runs `main()` and flushes standard output, ending as above."""
    try:
        main()
        sys.stdout.flush()
    except KeyboardInterrupt:
        sys.stderr.write("interrupted\n")
        sys.exit(130)
    except BrokenPipeError:
        # The interpreter flushes standard output once more while exiting:
        # pointed at /dev/null, that flush cannot fail again.
        devnull = os.open(os.devnull, os.O_WRONLY)
        os.dup2(devnull, sys.stdout.fileno())
        sys.exit(0)
