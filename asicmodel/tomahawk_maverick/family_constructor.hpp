// Argument shaping shared by the Tomahawk, Maverick and earlier-family
// port constructors (the signatures themselves are bound by
// asicmodel/core/port_constructor.hpp). Each works on `Fields`, the
// constructor arguments by interned name, and leaves `given` unchanged.
#pragma once

#include "asicmodel/core/port_constructor.hpp"

namespace asicmodel::family {

// The 19 SDKPort fields taken from `given`, in SDKPort's order: a field it
// lacks is None, or False for `oversub`.
Fields sdk_port_fields(const Fields& given);

// The arguments of a one-interface speed class as its family base takes
// them, into `fields`: `hw_port`, `phy_type` and `phy_addr` each wrapped in
// a one-element tuple under the plural name, `prim_offset` None unless
// given, everything else unchanged. -1 with the host's error set on failure.
int single_interface_fields(const Fields& given, Fields& fields);

// What a fabric link hands its port class's constructor: its label, serdes
// lanes, flips and lane maps; no PHY, cage or LEDs; always oversubscribed,
// on unit 0.
Fields fabric_link_fields(const Fields& given);

}  // namespace asicmodel::family
