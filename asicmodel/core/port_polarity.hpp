// Lane polarity, serdes interface type, auto-negotiation and LED calls of
// a front-panel port.
#pragma once

#include <pybind11/pybind11.h>

namespace asicmodel {

namespace py = pybind11;

py::object polarity_flip_val(py::object self, py::object mode, py::object sub,
                             py::object polarity_flip);  // abstract
py::object tx_logical_polarity_flip(py::object self, py::object mode, py::object sub);
py::object rx_logical_polarity_flip(py::object self, py::object mode, py::object sub);
py::object serdes_if_type(py::object self, py::object speed);
py::object an_c37(py::object self, py::object speed);
py::object an_c73(py::object self, py::object speed);
py::object set_leds(py::object self, py::object mode, py::object led_port, py::object sub,
                    py::object led_index_list);

}  // namespace asicmodel
