// Maverick, Tomahawk and Tomahawk2 port bases: how a serdes lane becomes a
// hardware interface name, and the family's hardware, LED and SDK logical
// port numbering.
#include "asicmodel/core/family_tables.hpp"
#include "asicmodel/core/lane_naming.hpp"
#include "asicmodel/core/lane_port_signatures.hpp"
#include "asicmodel/core/port_naming.hpp"
#include "asicmodel/core/registrations.hpp"
#include "asicmodel/tomahawk_maverick/family_constructor.hpp"
#include "asicmodel/tomahawk_maverick/family_rules.hpp"
#include "common/host_errors.hpp"
#include "common/py_ops.hpp"
#include "common/strict_int.hpp"

namespace asicmodel {

namespace {

void init_with_lane_names(const char* format, py::object self, py::dict arguments) {
  arguments["hw_ports"] = serdes_lane_names(format, arguments["serdes"]);
  init_base("BCMPort", self, family::sdk_port_fields(arguments));
}

void maverick_port_init(py::object self, py::dict arguments) {
  init_with_lane_names("xe%u", std::move(self), std::move(arguments));
}

void tomahawk_port_init(py::object self, py::dict arguments) {
  init_with_lane_names("ce%u", std::move(self), std::move(arguments));
}

void tomahawk_two_port_init(py::object self, py::dict arguments) {
  init_base("TomahawkPort", self, arguments);
}

// --- Maverick numbering ---

py::object maverick_hw_intf_prefix(py::object, py::object mode, py::object) {
  if (mode_is(mode, "100G") || mode_is(mode, "100G/4")) return py::str("ce");
  if (mode_is(mode, "1G")) return py::str("ge");
  return py::str("xe");
}

// LED ports: lanes 0-35 give 1-36, lanes 36 and above fold back to 1.
py::object maverick_led_port_num(py::object self, py::object mode, py::object sub) {
  py::object n = self.attr("hw_intf_num")(mode, sub);
  return n >= py::int_(36) ? n - py::int_(35) : n + py::int_(1);
}

// --- Tomahawk numbering ---

// LED ports: 0-31 stay, 32-95 lose 32, 96-127 lose 64; the two management
// interfaces 128 and 130 take LEDs 0 and 1.
py::object tomahawk_led_port_num(py::object self, py::object mode, py::object sub) {
  py::object n = self.attr("hw_intf_num")(mode, sub);
  if (common::py_equal(n, py::int_(128))) return py::int_(0);
  if (common::py_equal(n, py::int_(130))) return py::int_(1);
  if (n > py::int_(31)) return n < py::int_(96) ? n - py::int_(32) : n - py::int_(64);
  return n;
}

// SDK logical ports: lane + 1, skipping 33, 66-67 and 100-101 between the
// four pipes; management lanes 128 and 130 take 66 and 100.
py::object tomahawk_logical_port_num(py::object self, py::object mode, py::object sub,
                                     py::object) {
  py::object p = self.attr("hw_port_num")(mode, sub) + py::int_(1);
  if (common::py_equal(p, py::int_(129))) return py::int_(66);
  if (common::py_equal(p, py::int_(131))) return py::int_(100);
  if (p > py::int_(32)) p = p + py::int_(1);
  if (p > py::int_(65)) p = p + py::int_(2);
  if (p > py::int_(99)) p = p + py::int_(2);
  return p;
}

// --- Tomahawk2 numbering ---

// LED ports: the interface number modulo 64, for numbers 0 to 255.
py::object tomahawk_two_led_port_num(py::object self, py::object mode, py::object sub) {
  py::object n = self.attr("hw_intf_num")(mode, sub);
  if (n > py::int_(191)) return n - py::int_(192);
  if (n > py::int_(127)) return n - py::int_(128);
  if (n > py::int_(63)) return n - py::int_(64);
  return n;
}

// The first port of the running platform carrying `label` that is not a
// fabric port, or None.
py::object tomahawk_two_find_port(py::object, py::object label) {
  py::object platform = this_module().attr("tervane").attr("platforms").attr("probe")();
  for (py::handle port : platform.attr("switch").attr("ports")) {
    if (!common::py_equal(port.attr("label"), label)) continue;
    if (!common::py_truthy(port.attr("is_fabric"))) return py::reinterpret_borrow<py::object>(port);
  }
  return py::none();
}

// The label of the next front-panel port: this label's number plus one.
py::object next_label(py::object self) {
  py::object label = self.attr("label");
  py::object number = PyLong_Check(label.ptr()) ? label : py::object(common::int_from_text(label));
  return py::str(number + py::int_(1));
}

// Sub-ports 0 and 1 are numbered from half the first lane, skipping 33 and
// 66-67 and 100-101 as on Tomahawk; sub-ports 2 and 3 of a four-way
// breakout are the next front-panel port's sub-ports 0 and 1.
py::object tomahawk_two_logical_port_num(py::object self, py::object mode, py::object sub,
                                         py::object port_base) {
  if (common::py_equal(sub, py::int_(0)) || common::py_equal(sub, py::int_(1))) {
    py::object first = self.attr("hw_port_num")(mode, py::int_(0));
    py::object lport = family::floor_div(first, 2) + py::int_(1) + sub;
    if (lport > py::int_(96)) return lport + py::int_(5);
    if (lport > py::int_(64)) return lport + py::int_(3);
    if (lport > py::int_(32)) return lport + py::int_(1);
    return lport;
  }
  py::object wanted = next_label(self);
  py::object neighbour = self.attr("find_port")(wanted);
  if (neighbour.is_none()) {
    // Without its neighbour the sub-port has no number; answering None
    // would only surface later as a "None" configuration key.
    common::raise_runtime(common::percent_of(
        "port %s: sub-port %s is carried by the port labelled %s, and the platform has "
        "no such port that is not a fabric port",
        self.attr("label"), sub, wanted));
  }
  return neighbour.attr("logical_port_num")(mode, sub - py::int_(2), port_base);
}

}  // namespace

void define_tomahawk_maverick_port_bases(Catalogue& catalogue) {
  const py::arg self("self"), mode("mode"), sub("sub"), port_base("port_base");

  ClassBuilder maverick = catalogue.define("MaverickPort", "BCMPort");
  maverick.attr("pbmp_map", prefixed_pbmp_map("xe", 74));
  bind_constructor(maverick, kLanePortSignature, &maverick_port_init)
      .method("hw_port_num", &lane_hw_port_num, self, mode, sub)
      .method("hw_intf_prefix", &maverick_hw_intf_prefix, self, mode, sub)
      .method("led_port_num", &maverick_led_port_num, self, mode, sub)
      .method("logical_port_num", &port_base_logical_port_num, self, mode, sub, port_base)
      .build();

  ClassBuilder tomahawk = catalogue.define("TomahawkPort", "BCMPort");
  tomahawk.attr("pbmp_map", prefixed_pbmp_map("xe", 132));
  bind_constructor(tomahawk, kLanePortSignature, &tomahawk_port_init)
      .method("led_port_num", &tomahawk_led_port_num, self, mode, sub)
      .method("hw_port_num", &lane_hw_port_num, self, mode, sub)
      .method("hw_intf_prefix", &ce_in_100g_intf_prefix, self, mode, sub)
      .method("logical_port_num", &tomahawk_logical_port_num, self, mode, sub, port_base)
      .build();

  ClassBuilder tomahawk_two = catalogue.define("TomahawkTwoPort", "TomahawkPort");
  bind_constructor(tomahawk_two, kLaneSpeedPortSignature, &tomahawk_two_port_init)
      .method("led_port_num", &tomahawk_two_led_port_num, self, mode, sub)
      .method("find_port", &tomahawk_two_find_port, self, py::arg("label"))
      .method("logical_port_num", &tomahawk_two_logical_port_num, self, mode, sub, port_base)
      .build();
}

}  // namespace asicmodel
