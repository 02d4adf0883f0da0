// The operations of SDKConfig, by topic:
//   port_calculation.cpp   construction, `config`, the configured ports;
//   units_gangs_leds.cpp   units, gangs, LED controllers;
//   whole_gangs.cpp        the port wiring's refusal of a broken gang;
//   kernel_names.cpp       the refusal of a kernel name given twice;
//   shared_sdk_ports.cpp   the refusal of a port reaching past its SDK ports;
//   shared_results.cpp     the refusal of two devices or keys on one thing;
//   sub_port_zero_keys.cpp the names of the sub-port 0 keys, a gang member's;
//   bitmaps_and_maps.cpp   port bitmaps and the three port maps;
//   port_settings.cpp      emphasis, per-port settings, PHY sections;
//   port_table.cpp         the port table and the kernel devices;
//   tables_and_defaults.cpp the MAC-index and SFP tables, link defaults;
//   output_dispatch.cpp    `output`, the port and LED scripts.
// config_classes.cpp binds them in the class's order.
#pragma once

#include <vector>

#include "bringup/sdkconfig/generator.hpp"

namespace bringup {

py::object sdkconfig_init(py::handle self, py::handle platform, py::handle verbose,
                          py::handle exploded, py::handle dummy);
py::object bcmconfig_init(py::handle self, py::handle platform, py::handle verbose,
                          py::handle exploded, py::handle dummy);
py::object sdkconfig_config(py::handle self, py::handle config_text);
py::object calculate_configuration(py::handle self);

py::object calculate_units(py::handle self);
py::object calculate_gangs(py::handle self, py::handle ports);
// The number in the first hardware interface name of a platform port
// ("xe12" gives 12), by the host's int(): the order of the gang walk.
py::object hardware_number(py::handle platform_port);
// How ports.conf names a port (a configured port or a platform port): its
// label, "Fabric-<label>" for a fabric port.
py::object layout_key(py::handle port);
// None when every ganged port of `ports` is a member of a whole gang (one
// whose leader holds its set); else the host's RuntimeError naming the
// port that leads, or would lead, the first broken gang met.
py::object refuse_broken_gang(py::handle self, py::handle ports);
py::object calculate_leds(py::handle self);
py::object led_chains(py::handle self);
py::object port_units(py::handle self);

// The chips whose wiring is keyed by physical lane and unit: asicmodel's
// classes as the running system exposes them (`tervane.platform`, read at
// each test), tested in this order, subclasses counting. 1, 0 or -1.
int physical_lane_chip(py::handle chip);

py::object sdk_pbmp_text(py::handle self);
py::object portmap_text(py::handle self);
py::object dportmap_text(py::handle self);
py::object portmap_uncapable_text(py::handle self);

py::object port_emphasis_text(py::handle self);
py::object port_init_text(py::handle self);
py::object fiber_pref_text(py::handle self);
py::object phy_an_text(py::handle self);
py::object prim_offsets_text(py::handle self);
py::object phy_id1s_text(py::handle self);
py::object sys_interfaces_text(py::handle self);
py::object phys_text(py::handle self);
py::object phy_addrs_text(py::handle self);
py::object phytab_text(py::handle self);
py::object rcphy_text(py::handle self);

// None when no two configured ports give one kernel name (linux_port_name
// of each logical port); else the host's RuntimeError naming the first
// name given again, in port order, and the ports that give it.
py::object refuse_shared_kernel_name(py::handle self);

// Whether a check looks at the wiring keyed by physical lane: `portsbcm`,
// whose keys they are, does; the tables do not, so that they never need
// the chip classes the lane test reads (`tervane.platform`).
enum class Wiring { kByLane, kNotChecked };

// None when every configured port has a unit and keeps within its SDK
// logical ports and MAC indexes: no mode makes more logical ports than its
// `max_logical_ports`, no port whose `blocked_adj_split_num()` is N above
// 0 is configured while its partner (`adj_label`) makes N or more, and
// every four-way breakout numbered from the port labelled one above has
// that port; else the host's RuntimeError naming the first such port, as
// ports.conf names it, in port order within each of these checks, taken
// in this order. `counted` receives the ports that make devices, in port
// order, for the result check that the caller makes last.
py::object refuse_port_past_bounds(py::handle self, std::vector<py::object>& counted);

// Both: `refuse_port_past_bounds`, then `refuse_shared_result` without
// the wiring; the tables ask it before any row or device.
py::object refuse_shared_sdk_port(py::handle self);

// The keys written for sub-port 0 of every port that has the value,
// whatever its logical ports (a gang member's under a name of its own
// only): the PHY's primary port and offset and system interface by the
// port's configuration name, its identifier by its SDK logical port number.
inline constexpr char kPrimOffsetKey[] = "phy_port_primary_and_offset_";
inline constexpr char kPhyId1Key[] = "port_phy_id1_";
inline constexpr char kSysInterfaceKey[] = "phy_sys_interface_";

// How a sub-port 0 key names its port.
enum class KeyName {
  kConfigName,        // sdk_config_intf(sub, unit count): the primary port and offset
  kLogicalPort,       // logical_port_key: the PHY identifier
  kConfigNameOfUnit,  // sdk_config_intf(sub), always with the unit: the system interface
};

// The name each configured port writes a sub-port 0 key under
// (sub_port_zero_keys.cpp): None for a gang member whose name is not its
// own, as a logical port or another port without one gives it too. One
// object serves one text or check.
class SubPortZeroKeys {
 public:
  // `units` is the unit count a kConfigName key passes (None otherwise).
  SubPortZeroKeys(py::handle self, KeyName naming, py::handle units);
  // The name, None, or null with the error set.
  py::object name_of(py::handle port);
  // The name of `port`'s sub-port 0, whoever writes under it.
  py::object key_name(py::handle port);
  // Whether `port`, of `count` logical ports, is a gang member (ganged, no
  // logical port): 1, 0 or -1. A member's keys, where written, are the
  // only ones of their name.
  static int gang_member(py::handle port, long count);

 private:
  py::object name_at(py::handle port, py::handle sub);
  // Every logical port's name, and how many ports without a logical port
  // give each name.
  py::object read_layout();

  py::handle self_;
  KeyName naming_;
  py::object units_;
  int several_ = -2;  // whether keys by logical port carry the unit; -2 unread
  py::object taken_, without_logical_port_;
};

// None when the layout's result is sound: every logical port of a port
// that makes devices has its own SDK logical port and SDK interface name
// on its unit and, in the standard MAC mode, its own MAC index, and no
// `portsbcm` key is written twice (no sub-port 0 key given twice and, with
// `kByLane`, no physical lane wired for two logical ports on a chip keying
// wiring by lane); else the host's RuntimeError naming the first
// collision, in port order, the two ports and what they share. `counted`
// holds the ports that make devices, in port order.
py::object refuse_shared_result(py::handle self, const std::vector<py::object>& counted,
                                Wiring wiring);

py::object porttab_text(py::handle self);

py::object ethertab_text(py::handle self);
py::object sfptab_text(py::handle self);
py::object linkdefaults_text(py::handle self);
py::object linkdefaults_per_interface(py::handle self);
py::object linkdefaults_vx(py::handle self);

py::object output(py::handle self, py::handle configfile);
py::object rcports(py::handle self, py::handle unit);
py::object compress_portlist_of(py::handle self, py::handle portlist);
py::object rcled_text(py::handle self);
py::object led_asm(py::handle self);
py::object led_hex(py::handle self);

}  // namespace bringup
