// Argument shaping shared by the Tomahawk, Maverick and earlier-family
// port constructors (the signatures themselves are bound by
// asicmodel/core/port_constructor.hpp).
#pragma once

#include "asicmodel/core/port_constructor.hpp"

namespace asicmodel::family {

// The 19 SDKPort fields taken from `given`: a field it lacks is None, or
// False for `oversub`.
py::dict sdk_port_fields(const py::dict& given);

// The arguments of a one-interface speed class as its family base takes
// them: `hw_port`, `phy_type` and `phy_addr` each wrapped in a one-element
// tuple under the plural name, `prim_offset` None unless given, everything
// else unchanged.
py::dict single_interface_fields(const py::dict& given);

// What a fabric link hands its port class's constructor: its label, serdes
// lanes, flips and lane maps; no PHY, cage or LEDs; always oversubscribed,
// on unit 0.
py::dict fabric_link_fields(const py::dict& arguments);

}  // namespace asicmodel::family
