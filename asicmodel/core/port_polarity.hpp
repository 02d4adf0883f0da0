// Lane polarity, serdes interface type, auto-negotiation and LED calls of
// a front-panel port.
#pragma once

#include <pybind11/pybind11.h>

namespace asicmodel {

namespace py = pybind11;

py::object polarity_flip_val(py::handle self, py::handle mode, py::handle sub,
                             py::handle polarity_flip);  // abstract
py::object tx_logical_polarity_flip(py::handle self, py::handle mode, py::handle sub);
py::object rx_logical_polarity_flip(py::handle self, py::handle mode, py::handle sub);
py::object serdes_if_type(py::handle self, py::handle speed);
py::object an_c37(py::handle self, py::handle speed);
py::object an_c73(py::handle self, py::handle speed);
py::object set_leds(py::handle self, py::handle mode, py::handle led_port, py::handle sub,
                    py::handle led_index_list);

}  // namespace asicmodel
