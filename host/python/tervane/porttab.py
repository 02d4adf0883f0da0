"""Stand-in for the operating system's port table module.

The libraries use only `UnsupportedPlatformError`, raised with one message
text, for kernel network devices on a switch software base other than
Broadcom or Mellanox. The top-level module `porttab` is the same module.
"""


class UnsupportedPlatformError(Exception):
    """The switch's software base cannot have what was asked of it."""

    def __init__(self, message):
        if not isinstance(message, str):
            raise TypeError("UnsupportedPlatformError takes one message text, not %r" % (message,))
        super().__init__(message)
