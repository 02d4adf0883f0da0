"""Stand-in for the operating system's platform definitions module.

On a switch this module holds the platform classes, built on asicmodel's
switch, chip and port classes. The switch-ASIC libraries read only the
chip classes from it (bringup tests a chip object against four of them),
so this stand-in exposes exactly those: every chip class of asicmodel,
under its own name, as the very same class objects (a test against them is
a test against asicmodel's classes, subclasses included).

It imports asicmodel, so asicmodel must be importable; unlike
`tervane.platforms`, nothing imports this module while asicmodel starts.
"""

import asicmodel


def _chip_classes():
    base = asicmodel.SDKChip
    return {name: value for name, value in vars(asicmodel).items()
            if isinstance(value, type) and issubclass(value, base)}


globals().update(_chip_classes())
__all__ = sorted(_chip_classes())
