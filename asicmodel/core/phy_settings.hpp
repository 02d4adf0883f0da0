// PHY-dependent answers the port families share: copper detection, the
// SFP fiber preference and the auto-negotiation of 10G lanes.
#pragma once

#include <pybind11/pybind11.h>

namespace asicmodel {

namespace py = pybind11;

// Copper ports have a `phy_layer` of "10GBaseT" or "1GBaseT".
bool on_copper(const py::object& self);

// The fiber preference: True when "SFP" occurs in `phy_layer`
// (case-sensitive), else False.
py::object sfp_fiber_pref(py::object self);

// Auto-negotiation of a 10G lane: no setting on copper, `answer` in the 10G
// modes ("10G", "4x10G"), no setting in any other mode.
py::object ten_gig_autoneg(const py::object& self, const py::object& mode, const char* answer);

}  // namespace asicmodel
