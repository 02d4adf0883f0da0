// The top of the platform object graph: the errors, Platform and the
// switch classes.
#include "asicmodel/core/names.hpp"
#include "asicmodel/core/registrations.hpp"
#include "common/host_calls.hpp"

namespace asicmodel {

namespace {

const char* const kSDKSwitchDoc =
    "SDK platform common attributes\n"
    "has_phy_ucode_spi_rom - true if platform supports SPI-ROM for phy microcode\n"
    "has_phy_ucode_mdio    - true if platform supports MDIO for phy microcode\n"
    "led_controllers       - Specify the set of led controllers to populate.";

py::object sdk_switch_init(py::handle self, py::handle chip) {
  SW_CHECK(common::set(self, names.chip, chip));
  return common::none();
}

// Chains to the SDKSwitch constructor by class name, as written.
py::object bcm_switch_init(py::handle self, py::handle chip) {
  SW_LET(sdk_switch, common::get(this_module(), names.SDKSwitch));
  SW_LET(init, common::get(sdk_switch, names.dunder_init));
  SW_CHECK(common::call(init, self, chip));
  return common::none();
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
      .method("__init__", &sdk_switch_init, {"self", "chip"})
      .build();

  catalogue.define("BCMSwitch", "SDKSwitch", "Broadcom switch platform")
      .method("__init__", &bcm_switch_init, {"self", "chip"})
      .build();

  catalogue.define_on("NoSuchMode", PyExc_RuntimeError).build();
}

}  // namespace asicmodel
