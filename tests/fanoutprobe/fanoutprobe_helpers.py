"""Helpers the fanoutprobe tests share."""


def commands(state):
    """The shell commands sent, table reads left out."""
    return [entry for entry in state.log if isinstance(entry, str)]
