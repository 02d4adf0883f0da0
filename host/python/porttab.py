"""The port table module at the top level: the same module as
`tervane.porttab` (see there)."""

import sys

import tervane.porttab

sys.modules[__name__] = tervane.porttab
