// Constructor signatures of the port classes whose platform definitions
// give serdes lane numbers (Maverick, Tomahawk, Tomahawk2).
#pragma once

#include "asicmodel/tomahawk_maverick/family_constructor.hpp"

namespace asicmodel::family {

// MaverickPort and TomahawkPort: the serdes lanes in place of the hardware
// interface names, then the SDKPort fields in the family's own order.
inline constexpr auto kLanePortSignature = make_signature(
    {"label", "serdes", "phy_types", "phy_addrs", "phy_layer", "prim_offset", "leds"},
    {{"unit", Default::kZero},
     {"rx_polarity_flip"},
     {"tx_polarity_flip"},
     {"rx_lane_map"},
     {"tx_lane_map"},
     {"pre_emphasis"},
     {"drv_current"},
     {"pre_drv_current"},
     {"oversub", Default::kFalse},
     {"phy_id1"},
     {"sys_interface"},
     {"mdi_pair_map"}});

// The speed classes (and TomahawkTwoPort): `unit` required, receive lane
// map before receive flip, `prim_offset` last.
inline constexpr auto kLaneSpeedPortSignature = make_signature(
    {"label", "serdes", "phy_types", "phy_addrs", "phy_layer", "leds", "unit"},
    {{"rx_lane_map"},
     {"rx_polarity_flip"},
     {"tx_lane_map"},
     {"tx_polarity_flip"},
     {"mdi_pair_map"},
     {"pre_emphasis"},
     {"drv_current"},
     {"pre_drv_current"},
     {"oversub", Default::kFalse},
     {"phy_id1"},
     {"sys_interface"},
     {"prim_offset"}});

}  // namespace asicmodel::family
