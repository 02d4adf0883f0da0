#include "asicmodel/core/phy_settings.hpp"

#include "asicmodel/core/family_tables.hpp"
#include "common/py_ops.hpp"

namespace asicmodel {

bool on_copper(const py::object& self) {
  py::object phy_layer = self.attr("phy_layer");
  return mode_is(phy_layer, "10GBaseT") || mode_is(phy_layer, "1GBaseT");
}

py::object sfp_fiber_pref(py::object self) {
  return common::py_bool(common::py_contains(self.attr("phy_layer"), py::str("SFP")));
}

py::object ten_gig_autoneg(const py::object& self, const py::object& mode, const char* answer) {
  if (on_copper(self)) return py::none();
  if (mode_is(mode, "10G") || mode_is(mode, "4x10G")) return py::str(answer);
  return py::none();
}

}  // namespace asicmodel
