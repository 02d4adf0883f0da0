#include "asicmodel/core/port_polarity.hpp"

#include "common/host_errors.hpp"
#include "common/py_ops.hpp"

namespace asicmodel {

py::object polarity_flip_val(py::object, py::object, py::object, py::object) {
  common::raise_not_implemented();
}

py::object tx_logical_polarity_flip(py::object self, py::object mode, py::object sub) {
  return self.attr("polarity_flip_val")(mode, sub, self.attr("tx_polarity_flip"));
}

py::object rx_logical_polarity_flip(py::object self, py::object mode, py::object sub) {
  return self.attr("polarity_flip_val")(mode, sub, self.attr("rx_polarity_flip"));
}

// Looked up through the object, so a port's own map wins over its class's;
// numbers compare by value (10.0 finds 10).
py::object serdes_if_type(py::object self, py::object speed) {
  py::object map = self.attr("_serdes_intf_map");
  if (!common::py_contains(map, speed)) return py::none();
  return map[speed];
}

py::object an_c37(py::object, py::object) { return py::none(); }

py::object an_c73(py::object, py::object) { return py::none(); }

// The base port claims no LED: every LED keeps the generator's pad value.
py::object set_leds(py::object, py::object, py::object, py::object, py::object) {
  return py::dict();
}

}  // namespace asicmodel
