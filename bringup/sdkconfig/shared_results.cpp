// What a layout comes to, checked before any text or device: whatever the
// cause (a platform's slip included), two devices on one SDK logical port,
// SDK interface name or MAC index, or a `portsbcm` key written twice, would
// have the SDK read one port's settings for another's. Every logical port
// of a port that makes devices claims what it takes in a table per kind
// and unit, one look per claim, so the check grows with the ports as the
// texts do.
#include <vector>

#include "bringup/config/configured_port_ops.hpp"
#include "bringup/sdkconfig/sdkconfig_ops.hpp"

namespace bringup {

namespace {

// What a logical port claims, each in a table of its own per unit.
enum class Claim { kLogicalPort, kInterface, kMacIndex, kLane, kKey };

// What two ports claiming one `value` share, as the refusal says it.
py::object shared_thing(Claim kind, py::handle unit, py::handle value) {
  switch (kind) {
    case Claim::kLogicalPort:
      return common::percent_text("take SDK logical port %s on unit %s", value, unit);
    case Claim::kInterface:
      return common::percent_text("take SDK interface %s on unit %s", value, unit);
    case Claim::kMacIndex:
      return common::percent_text("take MAC index %s", value);
    case Claim::kLane:
      return common::percent_text("wire physical lane %s on unit %s", value, unit);
    case Claim::kKey:
      break;
  }
  return common::percent_text("write %s", value);
}

// Lanes each logical port of `port` wires on a chip keying wiring by
// lane: those of its mode where polarity flips are written lane by lane,
// else the first one, which its lane maps key; 0 for a port without
// wiring, -1 with the error set.
long wired_lanes(py::handle port) {
  for (PyObject* name : {names.rx_polarity_flip, names.tx_polarity_flip}) {
    py::object flip = common::get(port, name);
    if (!flip) return -1;
    if (flip.is_none()) continue;
    py::object mode = common::get(port, names.mode);
    if (!mode) return -1;
    PyObject* lanes = PyDict_GetItemWithError(lanes_per_mode().ptr(), mode.ptr());
    // A mode without a lane count is refused by the port map itself.
    if (!lanes) return PyErr_Occurred() ? -1 : 1;
    return PyLong_AsLong(lanes);
  }
  for (PyObject* name : {names.rx_lane_map, names.tx_lane_map}) {
    py::object lane_map = common::get(port, name);
    if (!lane_map) return -1;
    if (!lane_map.is_none()) return 1;
  }
  return 0;
}

// Visits the physical lanes `lanes` of sub-port `sub` wires, numbered
// from its hardware interface number plus 1: visit(lane), 1 to stop
// early, -1 with the error set. The first non-zero answer, else 0.
template <typename Visit>
int each_wired_lane(py::handle port, long sub, long lanes, Visit&& visit) {
  py::object number = common::integer(sub);
  py::object hardware = number ? common::call_method(port, names.hw_intf_num, number)
                               : py::object();
  if (!hardware) return -1;
  for (long lane = 1; lane <= lanes; ++lane) {
    py::object offset = common::integer(lane);
    py::object physical =
        offset ? common::steal(PyNumber_Add(hardware.ptr(), offset.ptr())) : py::object();
    if (!physical) return -1;
    if (int answer = visit(physical)) return answer;
  }
  return 0;
}

// Whether sub-port `sub` of `port` claims `value` of `kind`: 1, 0 or -1.
// Asked again only to name the sub-port that claimed it first.
int claims_value(Claim kind, py::handle port, long sub, py::handle value) {
  if (kind == Claim::kKey) return 0;  // each port writes each key once
  if (kind == Claim::kLane) {
    const long lanes = wired_lanes(port);
    if (lanes < 0) return -1;
    return each_wired_lane(port, sub, lanes,
                           [&](py::handle physical) { return common::equal(physical, value); });
  }
  py::object number = common::integer(sub);
  if (!number) return -1;
  PyObject* operation = kind == Claim::kLogicalPort ? names.sdk_logical_port_num
                        : kind == Claim::kInterface ? names.sdk_intf
                                                    : names.port_mac_index;
  py::object answer = common::call_method(port, operation, number);
  if (!answer) return -1;
  return common::equal(answer, value);
}

// The claims of one layout: a table per kind and unit, value -> the port
// that claimed it first.
class Claims {
 public:
  explicit Claims(py::handle self) : self_(self), units_(common::steal(PyDict_New())) {}

  // The table of `kind` on `unit`; null with the error set.
  py::object table(Claim kind, py::handle unit) {
    if (!units_) return {};
    py::object key = common::steal(Py_BuildValue("(iO)", static_cast<int>(kind), unit.ptr()));
    if (!key) return {};
    PyObject* found = PyDict_GetItemWithError(units_.ptr(), key.ptr());
    if (found) return common::borrow(found);
    if (PyErr_Occurred()) return {};
    py::object made = common::steal(PyDict_New());
    if (!made || PyDict_SetItem(units_.ptr(), key.ptr(), made.ptr()) < 0) return {};
    return made;
  }

  // 0 when `table` held nothing for `value` (now held by `port`); -1 with
  // the error set, the refusal naming both holders when it did.
  int claim(py::handle table, Claim kind, py::handle unit, py::handle value, py::handle port,
            long sub) {
    const Py_ssize_t held = PyDict_GET_SIZE(table.ptr());
    PyObject* first = PyDict_SetDefault(table.ptr(), value.ptr(), port.ptr());
    if (!first) return -1;
    if (PyDict_GET_SIZE(table.ptr()) > held) return 0;
    refuse(kind, unit, value, first, port, sub);
    return -1;
  }

 private:
  void refuse(Claim kind, py::handle unit, py::handle value, py::handle first, py::handle again,
              long sub) {
    py::object thing = shared_thing(kind, unit, value);
    py::object again_key = thing ? layout_key(again) : py::object();
    if (!again_key) return;
    if (first.ptr() != again.ptr()) {
      py::object first_key = layout_key(first);
      if (first_key) {
        refuse_layout(self_, "platform: %s: ports %s and %s both %s", first_key, again_key, thing);
      }
      return;
    }
    long first_sub = 0;
    for (; first_sub < sub; ++first_sub) {
      int same = claims_value(kind, again, first_sub, value);
      if (same < 0) return;
      if (same) break;
    }
    py::object earlier = common::integer(first_sub), later = common::integer(sub);
    if (!earlier || !later) return;
    refuse_layout(self_, "platform: %s: sub-ports %s and %s of port %s both %s", earlier, later,
                  again_key, thing);
  }

  py::handle self_;
  py::object units_;  // (kind, unit) -> its table
};

// The text of a sub-port 0 key: `prefix` then the name.
py::object key_text(const char* prefix, py::handle name) {
  py::object head = common::steal(PyUnicode_FromString(prefix));
  if (!head) return {};
  py::object tail = common::steal(PyObject_Str(name.ptr()));
  if (!tail) return {};
  return common::steal(PyUnicode_Concat(head.ptr(), tail.ptr()));
}

}  // namespace

py::object refuse_shared_result(py::handle self, const std::vector<py::object>& counted,
                                Wiring wiring) {
  static const py::handle l3_only = common::forever(py::str("l3-only"));
  if (counted.empty()) return common::none();
  Claims claims(self);
  SW_LET(macmode, common::get(self, names.macmode));
  SW_LET(shared_macs, common::equal(macmode, l3_only));
  SW_LET(units, unit_count(self));
  SW_LET(mac_indexes, claims.table(Claim::kMacIndex, Py_None));
  SW_LET(keys_written, claims.table(Claim::kKey, Py_None));
  struct SubPortZeroKey {
    PyObject* value_name;
    SubPortZeroKeys keys;
    const char* prefix;
  } sub_port_zero_keys[] = {
      {names.prim_offset, SubPortZeroKeys(self, KeyName::kConfigName, units), kPrimOffsetKey},
      {names.phy_id1, SubPortZeroKeys(self, KeyName::kLogicalPort, Py_None), kPhyId1Key},
      {names.sys_interface, SubPortZeroKeys(self, KeyName::kConfigNameOfUnit, Py_None),
       kSysInterfaceKey}};
  // The tables of the unit of the port before, kept while ports follow on it.
  py::object unit_of_tables, logical_ports, interfaces, lanes_wired;
  // Whether wiring is keyed by lane: asked at the first wired port only,
  // as the port map asks it.
  int per_lane = -2;
  for (py::handle port : counted) {
    SW_LET(unit, common::get(port, names.unit));
    int same_unit = unit_of_tables ? common::equal(unit, unit_of_tables) : 0;
    SW_CHECK(same_unit);
    if (!same_unit) {
      SW_CHECK(logical_ports = claims.table(Claim::kLogicalPort, unit));
      SW_CHECK(interfaces = claims.table(Claim::kInterface, unit));
      SW_CHECK(lanes_wired = claims.table(Claim::kLane, unit));
      unit_of_tables = unit;
    }
    long count = 0;
    if (!logical_port_count(port, count)) return {};
    long lanes = 0;
    if (count > 0 && wiring == Wiring::kByLane) {
      SW_CHECK(lanes = wired_lanes(port));
      if (lanes > 0 && per_lane == -2) {
        SW_LET(chip, chip_of_config(self));
        SW_LET(capable, common::get(chip, names.portmap_capable));
        per_lane = is_true(capable) ? physical_lane_chip(chip) : 0;
        SW_CHECK(per_lane);
      }
      if (per_lane != 1) lanes = 0;
    }
    for (long sub = 0; sub < count; ++sub) {
      SW_LET(sub_number, common::integer(sub));
      SW_LET(logical, common::call_method(port, names.sdk_logical_port_num, sub_number));
      SW_CHECK(claims.claim(logical_ports, Claim::kLogicalPort, unit, logical, port, sub));
      SW_LET(interface, common::call_method(port, names.sdk_intf, sub_number));
      SW_CHECK(claims.claim(interfaces, Claim::kInterface, unit, interface, port, sub));
      if (!shared_macs) {
        SW_LET(mac_index, common::call_method(port, names.port_mac_index, sub_number));
        SW_CHECK(claims.claim(mac_indexes, Claim::kMacIndex, Py_None, mac_index, port, sub));
      }
      if (lanes > 0) {
        SW_CHECK(each_wired_lane(port, sub, lanes, [&](py::handle physical) {
          return claims.claim(lanes_wired, Claim::kLane, unit, physical, port, sub);
        }));
      }
    }
    // Keys of sub-port 0, written for every port with the value. A gang
    // member writes its own only under a name no other key takes.
    SW_LET(member, SubPortZeroKeys::gang_member(port, count));
    if (member) continue;
    for (auto& [value_name, keys, prefix] : sub_port_zero_keys) {
      SW_LET(value, common::get(port, value_name));
      if (value.is_none()) continue;
      SW_LET(name, keys.key_name(port));
      SW_LET(key, key_text(prefix, name));
      SW_CHECK(claims.claim(keys_written, Claim::kKey, Py_None, key, port, 0));
    }
  }
  return common::none();
}

}  // namespace bringup
