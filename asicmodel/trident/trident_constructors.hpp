// Constructors of the Trident-family port classes, declared as data.
//
// Each port class takes its own parameter list: names, order and defaults
// differ from class to class. A list is written once as a table, and
// `bind_constructor` turns it into an `__init__` whose parameters carry
// exactly those names and defaults, so position, keyword and argument
// errors behave as in any Python class. The constructor body receives the
// arguments as a dict (name -> value, in declaration order), which it can
// hand on to its base constructor by keyword.
#pragma once

#include <array>
#include <cstddef>
#include <utility>

#include "asicmodel/core/catalogue.hpp"

namespace asicmodel::trident {

enum class Default { kRequired, kNone, kFalse, kZero };

struct Parameter {
  const char* name;
  Default value;
};

// The default object a table entry stands for: None, False or 0.
py::object default_object(Default value);

using ConstructorBody = void (*)(py::object self, py::dict arguments);

// Runs the constructor of the module class `base_class` (looked up by name
// when called) on `self`, every argument by keyword.
void chain_constructor(const char* base_class, py::object self, const py::dict& arguments);

namespace detail {

template <std::size_t>
using Object = py::object;

template <const auto& Params, std::size_t I>
auto declare_parameter() {
  if constexpr (Params[I].value == Default::kRequired) {
    return py::arg(Params[I].name);
  } else {
    return py::arg_v(Params[I].name, default_object(Params[I].value));
  }
}

template <const auto& Params, std::size_t... I>
void bind(ClassBuilder& port_class, ConstructorBody body, std::index_sequence<I...>) {
  port_class.method(
      "__init__",
      [body](py::object self, Object<I>... values) {
        py::dict arguments;
        ((arguments[Params[I].name] = std::move(values)), ...);
        body(std::move(self), arguments);
      },
      py::arg("self"), declare_parameter<Params, I>()...);
}

}  // namespace detail

template <const auto& Params>
ClassBuilder& bind_constructor(ClassBuilder& port_class, ConstructorBody body) {
  detail::bind<Params>(port_class, body, std::make_index_sequence<std::size(Params)>{});
  return port_class;
}

// The parameter lists, shared by the classes that take the same one.
using D = Default;

// TridentPort: the family constructor of Trident and Trident+ ports.
inline constexpr std::array<Parameter, 13> kTridentBaseParameters = {{
    {"label", D::kRequired}, {"serdes", D::kRequired}, {"phy_types", D::kRequired},
    {"phy_addrs", D::kRequired}, {"phy_layer", D::kRequired}, {"prim_offset", D::kRequired},
    {"leds", D::kRequired}, {"unit", D::kZero}, {"rx_polarity_flip", D::kNone},
    {"tx_polarity_flip", D::kNone}, {"rx_lane_map", D::kNone}, {"tx_lane_map", D::kNone},
    {"mdi_pair_map", D::kNone}}};

// TridentTwoPort and TridentThreePort: the MDI pair map comes last.
inline constexpr std::array<Parameter, 19> kFamilyBaseParameters = {{
    {"label", D::kRequired}, {"serdes", D::kRequired}, {"phy_types", D::kRequired},
    {"phy_addrs", D::kRequired}, {"phy_layer", D::kRequired}, {"prim_offset", D::kRequired},
    {"leds", D::kRequired}, {"unit", D::kZero}, {"rx_polarity_flip", D::kNone},
    {"tx_polarity_flip", D::kNone}, {"rx_lane_map", D::kNone}, {"tx_lane_map", D::kNone},
    {"pre_emphasis", D::kNone}, {"drv_current", D::kNone}, {"pre_drv_current", D::kNone},
    {"oversub", D::kFalse}, {"phy_id1", D::kNone}, {"sys_interface", D::kNone},
    {"mdi_pair_map", D::kNone}}};

// The Trident2, Trident2+ 10G and Trident3 speed ports: the cage type is
// given, the unit required, the primary-and-offset value last.
inline constexpr std::array<Parameter, 19> kSpeedPortParameters = {{
    {"label", D::kRequired}, {"serdes", D::kRequired}, {"phy_types", D::kRequired},
    {"phy_addrs", D::kRequired}, {"phy_layer", D::kRequired}, {"leds", D::kRequired},
    {"unit", D::kRequired}, {"rx_lane_map", D::kNone}, {"rx_polarity_flip", D::kNone},
    {"tx_lane_map", D::kNone}, {"tx_polarity_flip", D::kNone}, {"mdi_pair_map", D::kNone},
    {"pre_emphasis", D::kNone}, {"drv_current", D::kNone}, {"pre_drv_current", D::kNone},
    {"oversub", D::kFalse}, {"phy_id1", D::kNone}, {"sys_interface", D::kNone},
    {"prim_offset", D::kNone}}};

// TridentTwoPlus40GPort: the same without a cage type (always QSFP+).
inline constexpr std::array<Parameter, 18> kQsfpSpeedPortParameters = {{
    {"label", D::kRequired}, {"serdes", D::kRequired}, {"phy_types", D::kRequired},
    {"phy_addrs", D::kRequired}, {"leds", D::kRequired}, {"unit", D::kRequired},
    {"rx_lane_map", D::kNone}, {"rx_polarity_flip", D::kNone}, {"tx_lane_map", D::kNone},
    {"tx_polarity_flip", D::kNone}, {"mdi_pair_map", D::kNone}, {"pre_emphasis", D::kNone},
    {"drv_current", D::kNone}, {"pre_drv_current", D::kNone}, {"oversub", D::kFalse},
    {"phy_id1", D::kNone}, {"sys_interface", D::kNone}, {"prim_offset", D::kNone}}};

// Trident10GPort: one serdes lane, one PHY type and one PHY address.
inline constexpr std::array<Parameter, 12> kTrident10GParameters = {{
    {"label", D::kRequired}, {"serdes", D::kRequired}, {"phy_type", D::kRequired},
    {"phy_addr", D::kRequired}, {"phy_layer", D::kRequired}, {"leds", D::kRequired},
    {"unit", D::kRequired}, {"rx_lane_map", D::kNone}, {"rx_polarity_flip", D::kNone},
    {"tx_lane_map", D::kNone}, {"tx_polarity_flip", D::kNone}, {"mdi_pair_map", D::kNone}}};

// Trident40GPort: no cage type (always QSFP+).
inline constexpr std::array<Parameter, 12> kTrident40GParameters = {{
    {"label", D::kRequired}, {"serdes", D::kRequired}, {"phy_types", D::kRequired},
    {"phy_addrs", D::kRequired}, {"leds", D::kRequired}, {"unit", D::kRequired},
    {"rx_lane_map", D::kNone}, {"rx_polarity_flip", D::kNone}, {"tx_lane_map", D::kNone},
    {"tx_polarity_flip", D::kNone}, {"mdi_pair_map", D::kNone}, {"prim_offset", D::kNone}}};

// TridentTwo10GFabricPort: no PHY, no LEDs; transmit before receive.
inline constexpr std::array<Parameter, 9> kFabricParameters = {{
    {"label", D::kRequired}, {"serdes", D::kRequired}, {"tx_lane_map", D::kRequired},
    {"rx_lane_map", D::kRequired}, {"tx_polarity_flip", D::kNone},
    {"rx_polarity_flip", D::kNone}, {"pre_emphasis", D::kNone}, {"drv_current", D::kNone},
    {"pre_drv_current", D::kNone}}};

}  // namespace asicmodel::trident
