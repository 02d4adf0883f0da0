// The top of the platform object graph: the errors, Platform and the
// switch classes.
#include "asicmodel/core/registrations.hpp"

namespace asicmodel {

namespace {

const char* const kSDKSwitchDoc =
    "SDK platform common attributes\n"
    "has_phy_ucode_spi_rom - true if platform supports SPI-ROM for phy microcode\n"
    "has_phy_ucode_mdio    - true if platform supports MDIO for phy microcode\n"
    "led_controllers       - Specify the set of led controllers to populate.";

void sdk_switch_init(py::object self, py::object chip) { self.attr("chip") = chip; }

// Chains to the SDKSwitch constructor by class name, as written.
void bcm_switch_init(py::object self, py::object chip) {
  this_module().attr("SDKSwitch").attr("__init__")(self, chip);
}

}  // namespace

void define_platform_and_switch(Catalogue& catalogue) {
  catalogue.define_on("NoSuchPlatform", PyExc_RuntimeError).build();
  catalogue.define_on("NoSuchChip", PyExc_RuntimeError).build();

  catalogue.define("Platform", nullptr)
      .attr("cpld", py::none())
      .attr("switch", py::none())
      .attr("bmc", py::none())
      .attr("chassis", py::none())
      .attr("use_dynamic_sensors", py::bool_(false))
      .build();

  catalogue.define("SDKSwitch", nullptr, kSDKSwitchDoc)
      .attr("has_phy_ucode_spi_rom", py::none())
      .attr("has_phy_ucode_mdio", py::none())
      .attr("led_controllers", py::none())
      .method("__init__", &sdk_switch_init, py::arg("self"), py::arg("chip"))
      .build();

  catalogue.define("BCMSwitch", "SDKSwitch", "Broadcom switch platform")
      .method("__init__", &bcm_switch_init, py::arg("self"), py::arg("chip"))
      .build();

  catalogue.define_on("NoSuchMode", PyExc_RuntimeError).build();
}

}  // namespace asicmodel
