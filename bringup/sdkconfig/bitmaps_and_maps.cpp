// The port bitmap section and the three port map sections: the port map
// with each logical port's board wiring, the Dport map, and the wiring of
// chips that are not port-map capable.
#include "bringup/config/configured_port_ops.hpp"
#include "bringup/sdkconfig/sdkconfig_ops.hpp"
#include "bringup/sdkconfig/text_lines.hpp"

namespace bringup {

namespace {

py::handle one_int() {
  static const py::handle one = common::forever(py::int_(1));
  return one;
}

// `value + 1` on the host's numbers.
py::object plus_one(py::handle value) {
  return common::steal(PyNumber_Add(value.ptr(), one_int().ptr()));
}

// Appends one line, written by TextLines, to a host list of lines.
template <typename... Pieces>
int append_piecewise(py::handle lines, const Pieces&... pieces) {
  py::object line = TextLines::single(pieces...);
  if (!line) return -1;
  return PyList_Append(lines.ptr(), line.ptr());
}

// "platform: %s is not portmap capable" and its kin, with the platform's name.
py::object refuse(py::handle self, const char* format) {
  SW_LET(platform, common::get(self, names.platform));
  SW_LET(name, common::get(platform, names.name));
  return common::fail_percent(PyExc_RuntimeError, format, name);
}

// A port given a polarity flip whose class has no polarity rule answers
// it with an empty NotImplementedError: refused, naming the port. One
// with a message of its own passes unchanged.
py::object ruled_flip(py::handle self, py::handle port, py::object answer) {
  if (answer || !PyErr_ExceptionMatches(PyExc_NotImplementedError)) return answer;
  PyObject *type = nullptr, *value = nullptr, *traceback = nullptr;
  PyErr_Fetch(&type, &value, &traceback);
  PyErr_NormalizeException(&type, &value, &traceback);
  const bool empty = value && PyTuple_GET_SIZE(reinterpret_cast<PyBaseExceptionObject*>(value)->args) == 0;
  if (!empty) {
    PyErr_Restore(type, value, traceback);
    return answer;
  }
  Py_XDECREF(type);
  Py_XDECREF(value);
  Py_XDECREF(traceback);
  SW_LET(key, layout_key(port));
  return refuse_layout(
      self, "platform: %s: Port %s has a polarity flip but its class has no polarity rule", key);
}

// The logical flip mask of one logical port.
py::object logical_flip(py::handle self, py::handle port, PyObject* operation, py::handle sub) {
  return ruled_flip(self, port, common::call_method(port, operation, sub));
}

// One polarity side of `portmap`: per lane on a physical-lane chip (the
// port's own operation extends the list and hands it back), else one line.
// A mode the lane table lacks is refused, naming the port and the mode.
py::object polarity_lines(py::handle self, py::handle chip, py::handle port, py::object lines,
                          py::handle sub, py::handle name, PyObject* lane_operation,
                          PyObject* logical_operation, const char* key) {
  SW_LET(per_lane, physical_lane_chip(chip));
  if (per_lane) {
    SW_LET(mode, common::get(port, names.mode));
    SW_LET(counted, PyDict_Contains(lanes_per_mode().ptr(), mode.ptr()));
    if (!counted) {
      SW_LET(port_key, layout_key(port));
      return refuse_layout(self, "platform: %s: Port %s in mode %s has no lane count for its "
                                 "polarity flips", port_key, mode);
    }
    return ruled_flip(self, port, common::call_method(port, lane_operation, port, lines, sub));
  }
  SW_LET(flip, logical_flip(self, port, logical_operation, sub));
  SW_CHECK(append_piecewise(lines, key, Text{name}, "=0x", hex(flip, 4)));
  return lines;
}

// One lane map line, per physical interface and unit or by port map name.
// `side` is "rx" or "tx".
int lane_map_line(py::handle chip, py::handle port, py::handle lines, py::handle sub,
                  py::handle name, py::handle lane_map, const char* side) {
  int per_lane = physical_lane_chip(chip);
  if (per_lane < 0) return -1;
  if (!per_lane) {
    return append_piecewise(lines, "xgxs_", side, "_lane_map_", Text{name}, "=0x", hex(lane_map, 4));
  }
  py::object hardware = common::call_method(port, names.hw_intf_num, sub);
  if (!hardware) return -1;
  py::object physical = plus_one(hardware);
  if (!physical) return -1;
  py::object unit = common::get(port, names.unit);
  if (!unit) return -1;
  return append_piecewise(lines, "phy_chain_", side, "_lane_map_physical{", Number{physical},
                          ".", Number{unit}, "}=0x", hex(lane_map, 4));
}

}  // namespace

int physical_lane_chip(py::handle chip) {
  static PyObject* const* const kClasses[] = {
      &names.TridentThreeX7_56870_Chip, &names.TridentThreeX7_56873_Chip,
      &names.TridentThreeX5_56771_Chip, &names.TomahawkTwo_56970_Chip};
  py::object tervane = global(names.tervane);
  if (!tervane) return -1;
  py::object platform = common::get(tervane, names.platform);
  if (!platform) return -1;
  for (PyObject* const* name : kClasses) {
    py::object cls = common::get(platform, *name);
    if (!cls) return -1;
    int match = PyObject_IsInstance(chip.ptr(), cls.ptr());
    if (match != 0) return match;
  }
  return 0;
}

py::object sdk_pbmp_text(py::handle self) {
  static const py::handle ce = common::forever(py::str("ce"));
  SW_LET(ports, ports_of(self));
  SW_LET(chip, chip_of_config(self));
  std::vector<BitmapEntry> entries;
  std::optional<PortBitmap> base;
  for (Py_ssize_t i = 0; i < PyList_GET_SIZE(ports.ptr()); ++i) {
    py::handle port = PyList_GET_ITEM(ports.ptr(), i);
    long count = 0;
    if (!logical_port_count(port, count)) return {};
    for (long sub = 0; sub < count; ++sub) {
      SW_LET(sub_number, common::integer(sub));
      SW_LET(prefix, common::call_method(port, names.sdk_intf_prefix, sub_number));
      SW_LET(is_ce, common::equal(prefix, ce));
      BitmapEntry entry;
      if (is_ce) {
        entry.prefix = "xe";
      } else if (!text_form(prefix, entry.prefix)) {
        return {};
      }
      SW_LET(unit, common::get(port, names.unit));
      if (!host_number(unit, 'u', entry.unit)) return {};
      SW_LET(bits, common::call_method(port, names.sdk_pbmp, sub_number));
      if (!host_bitmap(bits, entry.bits)) return {};
      if (!base) {
        SW_LET(base_pbmp, common::get(chip, names.base_pbmp));
        if (base_pbmp.is_none()) {
          return common::fail(PyExc_TypeError,
                              "unsupported operand type(s) for |: 'NoneType' and 'int'");
        }
        base.emplace();
        if (!host_bitmap(base_pbmp, *base)) return {};
      }
      SW_LET(oversub, common::get(port, names.oversub));
      SW_LET(oversubscribed, common::truth(oversub));
      entry.oversub = oversubscribed;
      entries.push_back(std::move(entry));
    }
  }
  SW_LET(mixed, flag_set(chip, names.mixed_oversub));
  return rendered([&] {
    return join_lines(bitmap_lines(entries, base.value_or(PortBitmap()), mixed));
  });
}

py::object portmap_text(py::handle self) {
  SW_LET(chip, chip_of_config(self));
  SW_LET(capable, common::get(chip, names.portmap_capable));
  if (!is_true(capable)) return refuse(self, "platform: %s is not portmap capable");
  SW_LET(lane_config, flag_set(chip, names.needs_lane_config));
  SW_LET(ports, ports_of(self));
  SW_CHECK(refuse_broken_gang(self, ports));
  py::object lines = common::steal(PyList_New(0));
  SW_CHECK(lines);
  for (Py_ssize_t i = 0; i < PyList_GET_SIZE(ports.ptr()); ++i) {
    py::handle port = PyList_GET_ITEM(ports.ptr(), i);
    long count = 0;
    if (!logical_port_count(port, count)) return {};
    for (long sub = 0; sub < count; ++sub) {
      SW_LET(sub_number, common::integer(sub));
      SW_LET(named, common::call_method(port, names.sdk_config_intf, sub_number));
      SW_LET(name, common::steal(PyObject_Str(named.ptr())));
      SW_LET(interface, common::call_method(port, names.hw_intf_num_portmap, sub_number));
      SW_LET(physical, plus_one(interface));
      SW_LET(speed, common::get(port, names.speed));
      if (lane_config) {
        SW_LET(lanes, common::get(port, names.num_lanes));
        SW_CHECK(append_piecewise(lines, "portmap_", Text{name}, "=", Number{physical}, ":",
                                  Number{speed}, ":", Number{lanes}));
      } else {
        SW_CHECK(append_piecewise(lines, "portmap_", Text{name}, "=", Number{physical}, ":",
                                  Number{speed}));
      }
      SW_LET(rx_flip, common::get(port, names.rx_polarity_flip));
      if (!rx_flip.is_none()) {
        SW_CHECK(lines = polarity_lines(self, chip, port, lines, sub_number, name,
                                        names.td3_rx_logical_polarity_flip,
                                        names.rx_logical_polarity_flip,
                                        "phy_xaui_rx_polarity_flip_"));
      }
      SW_LET(tx_flip, common::get(port, names.tx_polarity_flip));
      if (!tx_flip.is_none()) {
        SW_CHECK(lines = polarity_lines(self, chip, port, lines, sub_number, name,
                                        names.td3_tx_logical_polarity_flip,
                                        names.tx_logical_polarity_flip,
                                        "phy_xaui_tx_polarity_flip_"));
      }
      SW_LET(rx_lanes, common::get(port, names.rx_lane_map));
      if (!rx_lanes.is_none()) {
        SW_CHECK(lane_map_line(chip, port, lines, sub_number, name, rx_lanes, "rx"));
      }
      SW_LET(tx_lanes, common::get(port, names.tx_lane_map));
      if (!tx_lanes.is_none()) {
        SW_CHECK(lane_map_line(chip, port, lines, sub_number, name, tx_lanes, "tx"));
      }
      SW_LET(mdi, common::get(port, names.mdi_pair_map));
      if (!mdi.is_none()) {
        SW_CHECK(append_piecewise(lines, "phy_mdi_pair_map_", Text{name}, "=0x", hex(mdi, 4)));
      }
    }
  }
  return joined(lines);
}

py::object dportmap_text(py::handle self) {
  SW_LET(chip, chip_of_config(self));
  SW_LET(capable, common::get(chip, names.dport_capable));
  if (!is_true(capable)) return refuse(self, "platform %s is not dportmap capable");
  SW_LET(ports, ports_of(self));
  TextLines lines;
  lines.line("dport_map_enable=1\n");
  for (Py_ssize_t i = 0; i < PyList_GET_SIZE(ports.ptr()); ++i) {
    py::handle port = PyList_GET_ITEM(ports.ptr(), i);
    long count = 0;
    if (!logical_port_count(port, count)) return {};
    for (long sub = 0; sub < count; ++sub) {
      SW_LET(sub_number, common::integer(sub));
      SW_LET(logical, common::call_method(port, names.sdk_logical_port_num, sub_number));
      SW_LET(unit, common::get(port, names.unit));
      SW_LET(interface, common::call_method(port, names.sdk_unit_intf_num, sub_number));
      SW_LET(physical, plus_one(interface));
      if (!lines.line("dport_map_port_", Number{logical}, ".", Number{unit}, "=", Number{physical})) {
        return {};
      }
    }
  }
  return lines.host();
}

py::object portmap_uncapable_text(py::handle self) {
  SW_LET(chip, chip_of_config(self));
  SW_LET(capable, common::get(chip, names.portmap_capable));
  if (is_true(capable)) return refuse(self, "platform: %s is portmap capable");
  SW_LET(ports, ports_of(self));
  SW_CHECK(refuse_broken_gang(self, ports));
  // Each chip numbers its logical ports from 1, so on several the unit
  // tells them apart.
  const int several = PyList_GET_SIZE(ports.ptr()) ? several_units(self) : 0;
  SW_CHECK(several);
  TextLines lines;
  for (Py_ssize_t i = 0; i < PyList_GET_SIZE(ports.ptr()); ++i) {
    py::handle port = PyList_GET_ITEM(ports.ptr(), i);
    long count = 0;
    if (!logical_port_count(port, count)) return {};
    for (long sub = 0; sub < count; ++sub) {
      SW_LET(sub_number, common::integer(sub));
      SW_LET(logical, logical_port_key(port, sub_number, several));
      SW_LET(rx_flip, common::get(port, names.rx_polarity_flip));
      if (!rx_flip.is_none()) {
        SW_LET(bits, logical_flip(self, port, names.rx_logical_polarity_flip, sub_number));
        if (!lines.line("phy_xaui_rx_polarity_flip_", Text{logical}, "=0x", hex(bits, 4))) {
          return {};
        }
      }
      SW_LET(tx_flip, common::get(port, names.tx_polarity_flip));
      if (!tx_flip.is_none()) {
        SW_LET(bits, logical_flip(self, port, names.tx_logical_polarity_flip, sub_number));
        if (!lines.line("phy_xaui_tx_polarity_flip_", Text{logical}, "=0x", hex(bits, 4))) {
          return {};
        }
      }
      SW_LET(rx_lanes, common::get(port, names.rx_lane_map));
      if (!rx_lanes.is_none() &&
          !lines.line("xgxs_rx_lane_map_", Text{logical}, "=0x", hex(rx_lanes, 4))) {
        return {};
      }
      SW_LET(tx_lanes, common::get(port, names.tx_lane_map));
      if (!tx_lanes.is_none() &&
          !lines.line("xgxs_tx_lane_map_", Text{logical}, "=0x", hex(tx_lanes, 4))) {
        return {};
      }
      SW_LET(mdi, common::get(port, names.mdi_pair_map));
      if (!mdi.is_none() &&
          !lines.line("phy_mdi_pair_map_", Text{logical}, "=0x", hex(mdi, 4))) {
        return {};
      }
    }
  }
  return lines.host();
}

}  // namespace bringup
