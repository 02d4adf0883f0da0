#include "asicmodel/core/port_modes.hpp"

#include <array>
#include <string>
#include <string_view>

#include "asicmodel/core/catalogue.hpp"
#include "asicmodel/core/names.hpp"
#include "common/host_calls.hpp"

namespace asicmodel {

namespace {

// Whether `value` is a text holding exactly `text` (ASCII).
bool is_text(py::handle value, std::string_view text) {
  std::string_view characters;
  if (common::exact_ascii(value, characters)) return characters == text;
  return PyUnicode_Check(value.ptr()) &&
         PyUnicode_CompareWithASCIIString(value.ptr(), std::string(text).c_str()) == 0;
}

// Appends `text` to `found` unless it is there already; -1 on error.
int add_once(py::handle found, py::handle text) {
  int present = common::contains(found, text);
  if (present != 0) return present < 0 ? -1 : 0;
  return PyList_Append(found.ptr(), text.ptr());
}

// The shorthand texts a refused mode's message lists: for every listed
// mode with an "x", "1x", "/1" and its first two characters; with a "/",
// "1x", "/1" and its last two. Shown in a fixed order; any other text a
// subclass's modes might give follows in first appearance.
py::object shorthand_modes(py::handle modes) {
  static const py::handle x = common::forever(py::str("x")), slash = common::forever(py::str("/")), one_x = common::forever(py::str("1x")), slash_one = common::forever(py::str("/1"));
  SW_LET(found, common::steal(PyList_New(0)));
  SW_LET(iterator, common::steal(PyObject_GetIter(modes.ptr())));
  while (PyObject* raw = PyIter_Next(iterator.ptr())) {
    py::object mode = common::steal(raw);
    SW_LET(has_x, common::contains(mode, x));
    if (has_x) {
      SW_CHECK(add_once(found, one_x));
      SW_CHECK(add_once(found, slash_one));
      SW_LET(head, common::steal(PySequence_GetSlice(mode.ptr(), 0, 2)));
      SW_CHECK(add_once(found, head));
    }
    SW_LET(has_slash, common::contains(mode, slash));
    if (has_slash) {
      SW_CHECK(add_once(found, one_x));
      SW_CHECK(add_once(found, slash_one));
      SW_LET(length, PyObject_Size(mode.ptr()));
      SW_LET(tail, common::steal(PySequence_GetSlice(mode.ptr(), length < 2 ? 0 : length - 2,
                                                     PY_SSIZE_T_MAX)));
      SW_CHECK(add_once(found, tail));
    }
  }
  if (PyErr_Occurred()) return {};
  static const std::array<py::handle, 5> kOrder = {
      common::forever(py::str("1x")), common::forever(py::str("/4")),
      common::forever(py::str("2x")), common::forever(py::str("4x")),
      common::forever(py::str("/1"))};
  SW_LET(ordered, common::steal(PyList_New(0)));
  for (py::handle text : kOrder) {
    SW_LET(present, common::contains(found, text));
    if (present) SW_CHECK(PyList_Append(ordered.ptr(), text.ptr()));
  }
  for (py::handle text : py::reinterpret_borrow<py::list>(found)) SW_CHECK(add_once(ordered, text));
  return ordered;
}

// Cage type to top speed in Gb/s, for completing shorthand modes; -1 with
// KeyError set for an unknown cage.
long max_speed_of_cage(py::handle cage_type) {
  static const std::array<std::pair<std::string_view, long>, 4> kSffSpeeds = {
      {{"SFP+", 10}, {"SFP28", 25}, {"QSFP+", 40}, {"QSFP28", 100}}};
  for (const auto& [cage, top] : kSffSpeeds) {
    if (is_text(cage_type, cage)) return top;
  }
  common::fail_key(cage_type);
  return -1;
}

}  // namespace

py::object check_mode(py::handle cls, py::handle mode) {
  SW_LET(modes, common::get(cls, names.modes));
  SW_LET(present, common::contains(modes, mode));
  if (present) return common::none();
  SW_LET(listed, shorthand_modes(modes));
  SW_LET(iterator, common::steal(PyObject_GetIter(modes.ptr())));
  while (PyObject* raw = PyIter_Next(iterator.ptr())) {
    py::object listed_mode = common::steal(raw);
    SW_CHECK(PyList_Append(listed.ptr(), listed_mode.ptr()));
  }
  if (PyErr_Occurred()) return {};
  SW_LET(shown, common::steal(PyObject_Repr(listed.ptr())));
  SW_LET(message, common::percent_text("error: mode not found: %s, must be one of: %s", mode,
                                       shown));
  SW_LET(no_such_mode, common::get(this_module(), names.NoSuchMode));
  return common::fail_object(no_such_mode, message);
}

py::object complete_mode(py::handle /*config*/, py::handle self, py::handle mode) {
  static const std::array<std::pair<std::string_view, const char*>, 6> kShorthands = {
      {{"1x", "%dG"}, {"2x", "2x%dG"}, {"4x", "4x%dG"}, {"/1", "%dG"}, {"/2", "%dG/2"}, {"/4", "%dG/4"}}};
  for (const auto& [shorthand, format] : kShorthands) {
    if (!is_text(mode, shorthand)) continue;
    SW_LET(cage, common::get(self, names.phy_layer));
    long top = max_speed_of_cage(cage);
    if (top < 0) return {};
    long value = top;
    if (shorthand[0] == '2') value = top / 2;
    if (shorthand[0] == '4') value = top / 4;
    if (shorthand[1] == '2') value = top * 2;
    if (shorthand[1] == '4') value = top * 4;
    SW_LET(number, common::integer(value));
    return common::percent_text(format, number);
  }
  return common::borrow(mode.ptr());
}

py::object speed(py::handle cls, py::handle mode) {
  SW_CHECK(common::call_method(cls, names._check_mode, mode));
  SW_LET(speeds, common::get(cls, names._speed_map));
  return common::item(speeds, mode);
}

py::object lanes_for_speed(py::handle speed) {
  static const py::handle one = common::forever(py::int_(1)), two = common::forever(py::int_(2)), four = common::forever(py::int_(4)), ten = common::forever(py::int_(10)), twenty_five = common::forever(py::int_(25)), forty = common::forever(py::int_(40)), fifty = common::forever(py::int_(50)), hundred = common::forever(py::int_(100));
  for (const py::handle* four_lane : {&forty, &hundred}) {
    SW_LET(same, common::equal(speed, *four_lane));
    if (same) return common::ref(four);
  }
  SW_LET(is_fifty, common::equal(speed, fifty));
  if (is_fifty) return common::ref(two);
  for (const py::handle* one_lane : {&one, &ten, &twenty_five}) {
    SW_LET(same, common::equal(speed, *one_lane));
    if (same) return common::ref(one);
  }
  return common::fail_percent(PyExc_RuntimeError, "invalid speed: %d", speed);
}

py::object num_lanes(py::handle cls, py::handle mode) {
  static const py::handle two = common::forever(py::int_(2)), breakout_in_two = common::forever(py::str("2x"));
  SW_CHECK(common::call_method(cls, names._check_mode, mode));
  // A breakout in two: each logical port takes two of the four lanes,
  // whatever the speed table's own lane count for the speed would say.
  int is_breakout = common::ascii_starts_with(mode, "2x", false);
  if (is_breakout < 0 && PyUnicode_Check(mode.ptr())) {
    SW_LET(starts, common::call_method(mode, names.startswith, breakout_in_two));
    is_breakout = common::truth(starts);
    SW_CHECK(is_breakout);
  }
  if (is_breakout > 0) return common::ref(two);
  SW_LET(mode_speed, common::call_method(cls, names.speed, mode));
  return lanes_for_speed(mode_speed);
}

py::object num_logical_ports(py::handle, py::handle) {
  return common::fail_none(PyExc_NotImplementedError);
}

py::object max_logical_ports(py::handle) { return common::fail_none(PyExc_NotImplementedError); }

py::object num_physical_ports(py::handle self, py::handle mode) {
  return common::call_method(self, names.num_logical_ports, mode);
}

py::object mac_addrs_contrib_total(py::handle self, py::handle config_map) {
  static const py::handle zero = common::forever(py::int_(0));
  SW_LET(configured, common::call_method(self, names.configurable, config_map));
  SW_LET(is_configured, common::truth(configured));
  if (!is_configured) return common::ref(zero);
  SW_LET(fabric, common::get(self, names.is_fabric));
  SW_LET(is_fabric, common::truth(fabric));
  if (is_fabric) {
    SW_LET(create, common::get(self, names.create_fabric));
    SW_LET(creates_fabric, common::truth(create));
    if (!creates_fabric) return common::ref(zero);
  }
  return common::get(self, names.max_logical_ports);
}

py::object port_mac_index(py::handle, py::handle, py::handle mac_index, py::handle sub) {
  return common::steal(PyNumber_Add(mac_index.ptr(), sub.ptr()));
}

}  // namespace asicmodel
