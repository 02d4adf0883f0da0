"""Stand-in for the operating system's ports.conf validator.

`Conformer(path, debug=False)` checks what a real validator would check of
a port layout file: that it can be read, and that every line that is not
blank or a comment ("#" or ";") is `label=mode` with a label of the running
platform. Labels come from the platform registered with
`tervane.platforms.register` (a fabric port's label is "Fabric-" and the
label); with no platform registered, the label check is skipped.
`conformer()` returns the list of error texts (empty when the file is
acceptable); `portwriteerrors(errors)` writes them to standard error.
"""

import sys

import tervane.platforms


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
            with open(self.path, encoding="utf-8", errors="surrogateescape") as layout:
                lines = layout.read().splitlines()
        except OSError as error:
            return ["%s: cannot read: %s" % (self.path, error.strerror)]
        labels = self._labels()
        errors = []
        for number, line in enumerate(lines, 1):
            text = line.strip()
            if not text or text[0] in "#;":
                continue
            label, separator, mode = text.partition("=")
            label = label.strip()
            if not separator or not label or not mode.strip():
                errors.append("%s:%d: not label=mode: %r" % (self.path, number, line))
            elif labels is not None and label not in labels:
                errors.append("%s:%d: unknown port label: %r" % (self.path, number, label))
        if self.debug:
            sys.stderr.write("conformer: %s: %d error(s)\n" % (self.path, len(errors)))
        return errors

    def portwriteerrors(self, errors):
        for error in errors:
            sys.stderr.write("error: %s\n" % error)
