// PHY-dependent answers the port families share: copper detection, the
// SFP fiber preference and the auto-negotiation of 10G lanes.
#pragma once

#include <pybind11/pybind11.h>

namespace asicmodel {

namespace py = pybind11;

// Copper ports have a `phy_layer` of "10GBaseT" or "1GBaseT".
int on_copper(py::handle self);  // 1/0, -1 with the error set

// The fiber preference: True when "SFP" occurs in `phy_layer`
// (case-sensitive), else False.
py::object sfp_fiber_pref(py::handle self);

// Auto-negotiation of a 10G lane: no setting on copper, `answer` in the 10G
// modes ("10G", "4x10G"), no setting in any other mode.
py::object ten_gig_autoneg(py::handle self, py::handle mode, const char* answer);

}  // namespace asicmodel
