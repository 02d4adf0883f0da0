"""Stand-in for the operating system's ports.conf validator.

`Conformer(path, debug=False)` checks what a real validator would check of
a port layout file: that it can be read, that every line follows the layout
syntax the port configuration's reader accepts, and that every port label
names a port of the running platform. The syntax, as the reader takes it
(the file is read as if "[ports]" stood above its first line):

- an entry is `label=mode` or `label:mode` (the first "=" or ":"), the label
  starting the line;
- blank lines, lines starting "#" or ";", and lines whose first word is
  "rem" in any letter case are comments;
- "[name]" starts a section; only entries of "ports" and "DEFAULT" reach
  the port map, so only their labels are checked;
- a line starting with a blank continues the entry above it in its section
  (an error with no entry above);
- lines end at LF, CR or CRLF.

Labels come from the platform registered with `tervane.platforms.register`
(a fabric port's label is "Fabric-" and the label); with no platform
registered, the label check is skipped. `conformer()` returns the list of
error texts (empty when the file is acceptable); `portwriteerrors(errors)`
writes them to standard error.
"""

import re
import sys

import tervane.platforms

_LINE_END = re.compile(r"\r\n|\r|\n")
_BLANKS = " \t\n\r\v\f"
_CHECKED_SECTIONS = ("ports", "DEFAULT")


def _is_comment(line):
    if not line.strip(_BLANKS) or line[0] in "#;":
        return True
    first_word = re.match(r"[^ \t\n\r\v\f]*", line).group(0)
    return first_word.lower() == "rem"


class Conformer(object):
    def __init__(self, path, debug=False):
        self.path = path
        self.debug = debug

    def _labels(self):
        try:
            platform = tervane.platforms.probe()
        except tervane.platforms.NoPlatformRegistered:
            return None
        labels = set()
        for port in platform.switch.ports:
            labels.add(("Fabric-" + port.label) if port.is_fabric else port.label)
        return labels

    def conformer(self):
        try:
            with open(self.path, encoding="utf-8", errors="surrogateescape", newline="") as layout:
                text = layout.read()
        except OSError as error:
            return ["%s: cannot read: %s" % (self.path, error.strerror)]
        lines = _LINE_END.split(text)
        if lines and not lines[-1]:
            lines.pop()  # the final line end
        labels = self._labels()
        errors = []
        section, has_entry = "ports", False
        for number, line in enumerate(lines, 1):
            if _is_comment(line):
                continue
            if line[0] in _BLANKS:
                if not has_entry:
                    errors.append("%s:%d: continuation line with no entry above: %r"
                                  % (self.path, number, line))
                continue
            close = line.find("]") if line[0] == "[" else -1
            if close > 1:
                section, has_entry = line[1:close], False
                continue
            separator = re.search("[=:]", line)
            if separator is None or separator.start() == 0:
                errors.append("%s:%d: not label=mode: %r" % (self.path, number, line))
                continue
            has_entry = True
            label = line[:separator.start()].rstrip(_BLANKS)
            if labels is not None and section in _CHECKED_SECTIONS and label not in labels:
                errors.append("%s:%d: unknown port label: %r" % (self.path, number, label))
        if self.debug:
            sys.stderr.write("conformer: %s: %d error(s)\n" % (self.path, len(errors)))
        return errors

    def portwriteerrors(self, errors):
        for error in errors:
            sys.stderr.write("error: %s\n" % error)
