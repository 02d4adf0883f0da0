// Constructor signatures that several port families share: ports described
// by serdes lane numbers, with the SDKPort fields in a family order.
#pragma once

#include "asicmodel/core/port_constructor.hpp"

namespace asicmodel {

// The family port bases built from serdes lane numbers: the lanes in place
// of the hardware interface names, then the SDKPort fields in the family
// order, the MDI pair map last.
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

// The speed port classes with a cage type: `unit` required, the receive
// lane map before the receive flip, `prim_offset` last.
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

// The same for speed port classes whose cage type is fixed by the class.
inline constexpr auto kQsfpSpeedPortSignature = make_signature(
    {"label", "serdes", "phy_types", "phy_addrs", "leds", "unit"},
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

}  // namespace asicmodel
