// The operations of SDKConfig, by topic:
//   port_calculation.cpp   construction, `config`, the configured ports;
//   units_gangs_leds.cpp   units, gangs, LED controllers;
//   whole_gangs.cpp        the port wiring's refusal of a broken gang;
//   kernel_names.cpp       the refusal of a kernel name given twice;
//   shared_sdk_ports.cpp   the refusal of a port reaching past its SDK ports;
//   bitmaps_and_maps.cpp   port bitmaps and the three port maps;
//   port_settings.cpp      emphasis, per-port settings, PHY sections;
//   port_table.cpp         the port table and the kernel devices;
//   tables_and_defaults.cpp the MAC-index and SFP tables, link defaults;
//   output_dispatch.cpp    `output`, the port and LED scripts.
// config_classes.cpp binds them in the class's order.
#pragma once

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

// None when every configured port keeps within its SDK logical ports and
// MAC indexes: no mode makes more logical ports than its
// `max_logical_ports`, and no port whose `blocked_adj_split_num()` is N
// above 0 is configured while its partner (`adj_label`) makes N or more;
// else the host's RuntimeError naming the first such port, in port order
// (bounds first), as ports.conf names it, and its partner.
py::object refuse_shared_sdk_port(py::handle self);

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
