"""Fakes shared by the bringup tests: a platform object around real family
ports, a chip stub, and runners that record the words they are given."""

import types

import asicmodel


class RecordingRunner(object):
    """Stands in for IPRoute2 or Ifmaker: records each word list."""

    def __init__(self, log, name):
        self.log, self.name = log, name

    def run(self, args):
        self.log.append((self.name, list(args)))
        return ""


class Chip(object):
    def __init__(self, sw_base="bcm", texts=None):
        self.sw_base = sw_base
        self.texts = texts or {}
        self.bcm_config_path = None

    def get_config(self, name):
        return self.texts.get(name)


def platform_of(ports, chip=None):
    switch = types.SimpleNamespace(chip=chip or Chip(), ports=list(ports))
    return types.SimpleNamespace(switch=switch)


def trident_two_10g(label, serdes, **extra):
    return asicmodel.TridentTwo10GPort(label, (serdes,), None, None, "SFP+", None, 0, **extra)


def tomahawk_100g(label, first_serdes=4, **extra):
    return asicmodel.Tomahawk100GPort(label, tuple(range(first_serdes, first_serdes + 4)), None,
                                      None, "QSFP28", (0, 1), 0, **extra)


