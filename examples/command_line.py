"""How the example programs end when cut short: Ctrl-C stops them with one
line and the status a shell gives an interrupted command (130); a reader
that closes the pipe early (as `| head` does) ends them quietly with status
0, or, where the output only reports on work done elsewhere, drops the
lines left while the work goes on; an output that cannot be written ends
them with one line naming it and the reason, status 1 (a standard output
that only reports on work done elsewhere once that work is done); none
prints a traceback.

The lines name the program as the user called it: SWITCH_PROGRAM_NAME
when the wrapper that started it sets it (scripts/demo), else the file's
own name."""

import errno
import os
import sys


class CannotWrite(Exception):
    """A file or folder of the program's output, or its standard output,
    could not be written."""

    def __init__(self, path, error):
        Exception.__init__(self, "cannot write %s: %s" % (path, error.strerror or error))


class _StandardOutput:
    """sys.stdout, whose failures to write other than a closed pipe are a
    CannotWrite naming it."""

    def write(self, text):
        return self._do(lambda: sys.stdout.write(text))

    def flush(self):
        self._do(lambda: sys.stdout.flush())

    def fileno(self):
        return sys.stdout.fileno()

    @staticmethod
    def _do(operation):
        try:
            if sys.stdout is None:  # started with it closed
                raise OSError(errno.EBADF, os.strerror(errno.EBADF))
            return operation()
        except BrokenPipeError:
            raise
        except OSError as error:
            raise CannotWrite("standard output", error) from None


standard_output = _StandardOutput()

# The first failure to write a report line, raised once the work is done.
_unwritten_report = None


def program_name():
    return os.environ.get("SWITCH_PROGRAM_NAME") or os.path.basename(sys.argv[0])


def _end(line, status):
    # What was printed goes out before the line and the end of the process.
    try:
        if sys.stdout is not None:
            sys.stdout.flush()
    except OSError:
        pass
    sys.stderr.write(line)
    sys.stderr.flush()
    os._exit(status)


# Set once Ctrl-C was seen, never cleared.
_interrupt_seen = False


def _uncaught(kind, value, traceback):
    # After a Ctrl-C, whatever error its exception became on the way out
    # (a callback may turn it into its own) ends the program as Ctrl-C.
    if not issubclass(kind, KeyboardInterrupt) and not _interrupt_seen:
        sys.__excepthook__(kind, value, traceback)
        return
    # Every `finally` and `except` on the way has run: no temporary file is
    # left.
    _end("interrupted\n", 130)


def _interrupted(signum, frame):
    global _interrupt_seen
    # Ctrl-C reaches every process of the terminal's group, the program's
    # children too: a second one must not interrupt the ending.
    if _interrupt_seen:
        return
    _interrupt_seen = True
    raise KeyboardInterrupt


def _unraisable(unraisable):
    # The host drops an exception raised where it cannot pass it on (a
    # weak-reference or import-lock callback, a finaliser) and reports it.
    # A dropped Ctrl-C is already recorded and ends the run at its next
    # step, so it is not reported.
    if not issubclass(unraisable.exc_type, KeyboardInterrupt):
        sys.__unraisablehook__(unraisable)


def stop_if_interrupted():
    """Ends the program as Ctrl-C does when one was seen: called between
    steps, so a Ctrl-C whose exception the host dropped still stops it."""
    if _interrupt_seen:
        raise KeyboardInterrupt


def quiet_interrupt():
    """Makes Ctrl-C, wherever it stops the program, end it as above."""
    sys.excepthook = _uncaught
    sys.unraisablehook = _unraisable
    # Loaded only now, with the hooks in place: loading it takes a while,
    # and a Ctrl-C meanwhile then ends the program as above too.
    import signal
    signal.signal(signal.SIGINT, _interrupted)
    # A wrapper may start the program with Ctrl-C held back, so that one
    # during the interpreter's own start-up waits for this moment; it is
    # taken now.
    signal.pthread_sigmask(signal.SIG_UNBLOCK, [signal.SIGINT])


def _drop_output(stream):
    # Points the stream's file at /dev/null: what is still buffered, and
    # the interpreter's last flush while exiting, then cannot fail again.
    devnull = os.open(os.devnull, os.O_WRONLY)
    os.dup2(devnull, stream.fileno())
    os.close(devnull)


def say(out, text):
    """Writes `text`, a line of a report beside the program's real work, to
    `out`; once a reader has closed the pipe, or `out` cannot be written,
    this line and every later one are dropped and the work goes on; `run`
    then ends the program with the failure."""
    global _unwritten_report
    try:
        out.write(text)
    except BrokenPipeError:
        _drop_output(out)
    except CannotWrite as error:
        _unwritten_report = _unwritten_report or error
        _drop_output(out)


def run(main):
    """Runs `main()` and flushes standard output; a closed pipe ends the
    program quietly, an output that cannot be written with one line."""
    try:
        stop_if_interrupted()
        # A standard output closed from the start fails here, before any work.
        standard_output.flush()
        main()
        stop_if_interrupted()
        standard_output.flush()
        if _unwritten_report:
            raise _unwritten_report
    except CannotWrite as error:
        stop_if_interrupted()
        _end("%s: %s\n" % (program_name(), error), 1)
    except BrokenPipeError:
        _drop_output(sys.stdout)
        _hold_interrupts()
        sys.exit(0)
    _hold_interrupts()


def _hold_interrupts():
    # The work is done. A Ctrl-C from here on would kill the interpreter
    # while it shuts down (its handler is gone by then), with no line: held
    # back, it dies with the process, and a wrapper that saw it too
    # (scripts/demo) reports it.
    import signal
    signal.pthread_sigmask(signal.SIG_BLOCK, [signal.SIGINT])
