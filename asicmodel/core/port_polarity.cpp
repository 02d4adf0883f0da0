#include "asicmodel/core/port_polarity.hpp"

#include "asicmodel/core/names.hpp"
#include "common/host_calls.hpp"

namespace asicmodel {

py::object polarity_flip_val(py::handle, py::handle, py::handle, py::handle) {
  return common::fail_none(PyExc_NotImplementedError);
}

py::object tx_logical_polarity_flip(py::handle self, py::handle mode, py::handle sub) {
  SW_LET(flip, common::get(self, names.tx_polarity_flip));
  return common::call_method(self, names.polarity_flip_val, mode, sub, flip);
}

py::object rx_logical_polarity_flip(py::handle self, py::handle mode, py::handle sub) {
  SW_LET(flip, common::get(self, names.rx_polarity_flip));
  return common::call_method(self, names.polarity_flip_val, mode, sub, flip);
}

// Looked up through the object, so a port's own map wins over its class's;
// numbers compare by value (10.0 finds 10).
py::object serdes_if_type(py::handle self, py::handle speed) {
  SW_LET(map, common::get(self, names._serdes_intf_map));
  SW_LET(present, common::contains(map, speed));
  if (!present) return common::none();
  return common::item(map, speed);
}

py::object an_c37(py::handle, py::handle) { return common::none(); }

py::object an_c73(py::handle, py::handle) { return common::none(); }

// The base port claims no LED: every LED keeps the generator's pad value.
py::object set_leds(py::handle, py::handle, py::handle, py::handle, py::handle) {
  return common::steal(PyDict_New());
}

}  // namespace asicmodel
