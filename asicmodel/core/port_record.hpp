// The front-panel port record: Port, SDKPort and BCMPort.
#pragma once

#include <pybind11/pybind11.h>

namespace asicmodel {

namespace py = pybind11;

// The 19 SDKPort constructor fields, in constructor order. Family
// constructors hand their arguments on to SDKPort.__init__ by these names.
inline constexpr const char* kSDKPortFields[19] = {
    "label",        "hw_ports",         "phy_types",      "phy_addrs",   "phy_layer",
    "prim_offset",  "leds",             "unit",           "rx_polarity_flip",
    "tx_polarity_flip", "rx_lane_map",  "tx_lane_map",    "mdi_pair_map", "pre_emphasis",
    "drv_current",  "pre_drv_current",  "oversub",        "phy_id1",     "sys_interface"};

}  // namespace asicmodel
