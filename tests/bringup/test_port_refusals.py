"""Layouts the port wiring refuses by the platform's and the port's names:
a polarity flip on a port whose class has no polarity rule."""

import pytest

import asicmodel
import bringup
from leds.box_controllers import TomahawkBoxLEDController
from platforms import hurricane2_box


def test_a_flip_on_a_port_without_a_polarity_rule_is_refused_naming_it():
    platform = hurricane2_box.build()
    platform.switch.ports.append(asicmodel.Hurricane213GPort("7", "hg1", 0, rx_polarity_flip=True))
    platform.switch.glimmer = TomahawkBoxLEDController
    config = bringup.BCMConfig(platform, dummy=True)
    config.config("")
    with pytest.raises(RuntimeError, match="^platform: hurricane2-box: Port 7 has a polarity flip "
                                           "but its class has no polarity rule$"):
        config.output("portsbcm")
