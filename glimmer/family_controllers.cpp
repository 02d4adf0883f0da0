// The family LED controllers: each sets the number of ports on one LED
// chain of its ASIC family; the Tomahawk family numbers chain positions as
// the hardware numbers its ports.
#include <pybind11/pybind11.h>

#include "common/class_builder.hpp"
#include "common/fast_function.hpp"
#include "glimmer/operations.hpp"
#include "glimmer/registrations.hpp"

namespace glimmer {

namespace {

struct Family {
  const char* name;
  int ports_per_chain;
};

constexpr Family kFamilies[] = {
    {"TriumphLEDController", 64},        {"Helix4LEDController", 64},
    {"Hurricane2LEDController", 64},     {"TridentLEDController", 36},
    {"TridentTwoLEDController", 64},     {"TridentTwoPlusLEDController", 64},
    {"MaverickLEDController", 64},
};

}  // namespace

void define_family_led_controllers(py::module_& module) {
  py::tuple base = py::make_tuple(module.attr("BCMLEDController"));
  for (const Family& family : kFamilies) {
    common::ClassBuilder(module, family.name, base)
        .attr("ports_per_chain", py::int_(family.ports_per_chain))
        .build();
  }
  common::ClassBuilder(module, "TomahawkLEDController", base)
      .attr("ports_per_chain", py::int_(64))
      .attr("_chain_port", common::fast_method("TomahawkLEDController", "_chain_port",
                                               &identity_chain_port, {"self", "call_port"}))
      .build();
}

}  // namespace glimmer
