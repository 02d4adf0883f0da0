#include "asicmodel/core/phy_settings.hpp"

#include "asicmodel/core/family_tables.hpp"
#include "asicmodel/core/names.hpp"
#include "common/host_calls.hpp"

namespace asicmodel {

int on_copper(py::handle self) {
  py::object phy_layer = common::get(self, names.phy_layer);
  if (!phy_layer) return -1;
  int ten = mode_is(phy_layer, "10GBaseT");
  if (ten != 0) return ten;
  return mode_is(phy_layer, "1GBaseT");
}

py::object sfp_fiber_pref(py::handle self) {
  static const py::handle sfp = common::forever(py::str("SFP"));
  SW_LET(phy_layer, common::get(self, names.phy_layer));
  SW_LET(found, common::contains(phy_layer, sfp));
  return common::boolean(found);
}

py::object ten_gig_autoneg(py::handle self, py::handle mode, const char* answer) {
  SW_LET(copper, on_copper(self));
  if (copper) return common::none();
  SW_LET(ten, mode_is(mode, "10G"));
  if (!ten) {
    SW_LET(four_by_ten, mode_is(mode, "4x10G"));
    if (!four_by_ten) return common::none();
  }
  return common::steal(PyUnicode_FromString(answer));
}

}  // namespace asicmodel
