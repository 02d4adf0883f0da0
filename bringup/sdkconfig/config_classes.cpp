// SDKConfig and BCMConfig, the configuration generator's classes. Their
// operations come with the generator; here they take their place in the
// catalogue with their documentation and the serdes interface codes.
#include "bringup/binding.hpp"
#include "bringup/registrations.hpp"

namespace bringup {

void define_config_generators(py::module_& module) {
  py::dict serdes_codes;
  serdes_codes["XGMII"] = 6;
  serdes_codes["SFI"] = 9;
  serdes_codes["XFI"] = 10;
  serdes_codes["KR"] = 11;
  serdes_codes["KR4"] = 12;
  serdes_codes["SR4"] = 28;
  define_class(module, "SDKConfig", "Config", "SDK configuration implementation")
      .attr("serdes_if_type_map", serdes_codes)
      .build();
  define_class(module, "BCMConfig", "SDKConfig", "Broadcom configuration implementation").build();
}

}  // namespace bringup
