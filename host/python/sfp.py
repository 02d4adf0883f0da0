"""Stand-in for the operating system's SFP module.

The platform definitions put an `Sfp` object in a port's `sfp`; the
libraries read its `type`, `accessmethod` and `address` and nothing else.
`bringup` imports this module at start-up and uses none of it.
"""


class Sfp(object):
    """One SFP cage: its type text, how it is reached and its address."""

    def __init__(self, type, accessmethod, address):
        for name, value in (("type", type), ("accessmethod", accessmethod)):
            if not isinstance(value, str) or not value:
                raise ValueError("Sfp %s must be a non-empty text, not %r" % (name, value))
        self.type = type
        self.accessmethod = accessmethod
        self.address = address
