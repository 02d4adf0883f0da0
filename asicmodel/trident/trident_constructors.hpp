// Constructor signatures of the Trident-family port classes. Each port
// class takes its own parameter list: names, order and defaults differ from
// class to class (bound by asicmodel/core/port_constructor.hpp).
#pragma once

#include "asicmodel/core/port_constructor.hpp"

namespace asicmodel::trident {

// TridentPort: the family constructor of Trident and Trident+ ports.
inline constexpr auto kTridentBaseParameters = make_signature(
    {"label", "serdes", "phy_types", "phy_addrs", "phy_layer", "prim_offset", "leds"},
    {{"unit", Default::kZero},
     {"rx_polarity_flip"},
     {"tx_polarity_flip"},
     {"rx_lane_map"},
     {"tx_lane_map"},
     {"mdi_pair_map"}});

// Trident10GPort: one serdes lane, one PHY type and one PHY address.
inline constexpr auto kTrident10GParameters = make_signature(
    {"label", "serdes", "phy_type", "phy_addr", "phy_layer", "leds", "unit"},
    {{"rx_lane_map"},
     {"rx_polarity_flip"},
     {"tx_lane_map"},
     {"tx_polarity_flip"},
     {"mdi_pair_map"}});

// Trident40GPort: no cage type (always QSFP+).
inline constexpr auto kTrident40GParameters = make_signature(
    {"label", "serdes", "phy_types", "phy_addrs", "leds", "unit"},
    {{"rx_lane_map"},
     {"rx_polarity_flip"},
     {"tx_lane_map"},
     {"tx_polarity_flip"},
     {"mdi_pair_map"},
     {"prim_offset"}});

// TridentTwo10GFabricPort: no PHY, no LEDs; transmit before receive.
inline constexpr auto kFabricParameters = make_signature(
    {"label", "serdes", "tx_lane_map", "rx_lane_map"},
    {{"tx_polarity_flip"},
     {"rx_polarity_flip"},
     {"pre_emphasis"},
     {"drv_current"},
     {"pre_drv_current"}});

}  // namespace asicmodel::trident
