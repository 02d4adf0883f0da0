// Config: the port layout, the chip data texts, the board's MAC addresses
// and the switch ports' kernel network devices, bound in the class's order.
#include "bringup/binding.hpp"
#include "bringup/config/config_ops.hpp"
#include "bringup/registrations.hpp"

namespace bringup {

void define_config(py::module_& module) {
  const py::object no = py::bool_(false);
  define_class(module, "Config", nullptr,
               "Base class for port configuration.  Understands ports.conf format.\n"
               "Supports a dummy mode for testing.")
      .method("__init__", &config_init,
              {"self", "platform", {"verbose", no}, {"exploded", no}, {"dummy", no}})
      .method("config", &config, {"self", "config"})
      .method("_complete_modes", &complete_modes, {"self", "config_map"})
      .method("find_hw_port", &find_hw_port, {"self", "label"})
      .method("read_config", &read_config, {"self", "configfile"})
      .method("init_config", &init_config, {"self"})
      .method("write_config", &write_config, {"self", "configfile"})
      .method("set_macmode", &set_macmode, {"self", "mode"})
      .method("makemacaddr", &makemacaddr, {"self", "inmac", "index"})
      .method("destroyints", &destroyints, {"self", "interface_set"})
      .method("setmac", &setmac, {"self", "portname", "index"})
      .method("maketap", &maketap, {"self", "portname", "index", "interface_set"})
      .method("makekernnet", &makekernnet,
              {"self", "portname", "index", "unit", "interface_set"})
      .build();
}

}  // namespace bringup
