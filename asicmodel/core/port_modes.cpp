#include "asicmodel/core/port_modes.hpp"

#include <array>

#include "asicmodel/core/catalogue.hpp"
#include "common/host_errors.hpp"
#include "common/py_ops.hpp"

namespace asicmodel {

using common::py_contains;
using common::py_equal;

namespace {

bool is_text(py::handle value, const char* text) {
  return PyUnicode_Check(value.ptr()) && PyUnicode_CompareWithASCIIString(value.ptr(), text) == 0;
}

// The shorthand texts a refused mode's message lists: for every listed
// mode with an "x", "1x", "/1" and its first two characters; with a "/",
// "1x", "/1" and its last two. Shown in a fixed order; any other text a
// subclass's modes might give follows in first appearance.
py::list shorthand_modes(py::handle modes) {
  py::list found;
  auto add = [&found](py::handle text) {
    if (!py_contains(found, text)) found.append(text);
  };
  for (py::handle mode : modes) {
    if (py_contains(mode, py::str("x"))) {
      add(py::str("1x"));
      add(py::str("/1"));
      add(common::py_slice(mode, py::int_(0), py::int_(2)));
    }
    if (py_contains(mode, py::str("/"))) {
      add(py::str("1x"));
      add(py::str("/1"));
      add(common::py_slice(mode, py::int_(-2), py::none()));
    }
  }
  static const std::array<const char*, 5> kOrder = {"1x", "/4", "2x", "4x", "/1"};
  py::list ordered;
  for (const char* text : kOrder) {
    if (py_contains(found, py::str(text))) ordered.append(py::str(text));
  }
  for (py::handle text : found) {
    if (!py_contains(ordered, text)) ordered.append(text);
  }
  return ordered;
}

// Cage type to top speed in Gb/s, for completing shorthand modes.
py::object max_speed_of_cage(py::handle cage_type) {
  static const std::array<std::pair<const char*, int>, 4> kSffSpeeds = {
      {{"SFP+", 10}, {"SFP28", 25}, {"QSFP+", 40}, {"QSFP28", 100}}};
  for (const auto& [cage, top] : kSffSpeeds) {
    if (is_text(cage_type, cage)) return py::int_(top);
  }
  common::raise_key_error(cage_type);
}

}  // namespace

void check_mode(py::object cls, py::object mode) {
  py::object modes = cls.attr("modes");
  if (py_contains(modes, mode)) return;
  py::list listed = shorthand_modes(modes);
  for (py::handle listed_mode : modes) listed.append(listed_mode);
  py::str message = common::percent_of("error: mode not found: %s, must be one of: %s", mode,
                                       py::repr(listed));
  common::raise_error_object(this_module().attr("NoSuchMode"), message);
}

py::object complete_mode(py::object /*config*/, py::object self, py::object mode) {
  static const std::array<std::pair<const char*, const char*>, 6> kShorthands = {
      {{"1x", "%dG"}, {"2x", "2x%dG"}, {"4x", "4x%dG"}, {"/1", "%dG"}, {"/2", "%dG/2"}, {"/4", "%dG/4"}}};
  for (const auto& [shorthand, format] : kShorthands) {
    if (!is_text(mode, shorthand)) continue;
    long top = max_speed_of_cage(self.attr("phy_layer")).cast<long>();
    long value = top;
    if (shorthand[0] == '2') value = top / 2;
    if (shorthand[0] == '4') value = top / 4;
    if (shorthand[1] == '2') value = top * 2;
    if (shorthand[1] == '4') value = top * 4;
    return common::percent_of(format, value);
  }
  return mode;
}

py::object speed(py::object cls, py::object mode) {
  cls.attr("_check_mode")(mode);
  return cls.attr("_speed_map")[mode];
}

py::object lanes_for_speed(py::handle speed) {
  if (py_equal(speed, py::int_(40)) || py_equal(speed, py::int_(100))) return py::int_(4);
  if (py_equal(speed, py::int_(50))) return py::int_(2);
  if (py_equal(speed, py::int_(1)) || py_equal(speed, py::int_(10)) ||
      py_equal(speed, py::int_(25)))
    return py::int_(1);
  common::raise_runtime(common::percent_of("invalid speed: %d",
                                           py::reinterpret_borrow<py::object>(speed)));
}

py::object num_lanes(py::object cls, py::object mode) {
  cls.attr("_check_mode")(mode);
  // A breakout in two: each logical port takes two of the four lanes,
  // whatever the speed table's own lane count for the speed would say.
  if (PyUnicode_Check(mode.ptr()) && common::py_truthy(mode.attr("startswith")("2x"))) {
    return py::int_(2);
  }
  return lanes_for_speed(cls.attr("speed")(mode));
}

py::object num_logical_ports(py::object, py::object) { common::raise_not_implemented(); }

py::object max_logical_ports(py::object) { common::raise_not_implemented(); }

py::object num_physical_ports(py::object self, py::object mode) {
  return self.attr("num_logical_ports")(mode);
}

py::object mac_addrs_contrib_total(py::object self, py::object config_map) {
  if (!common::py_truthy(self.attr("configurable")(config_map))) return py::int_(0);
  if (common::py_truthy(self.attr("is_fabric")) && !common::py_truthy(self.attr("create_fabric")))
    return py::int_(0);
  return self.attr("max_logical_ports");
}

py::object port_mac_index(py::object, py::object, py::object mac_index, py::object sub) {
  return mac_index + sub;
}

}  // namespace asicmodel
