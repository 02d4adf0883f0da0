// The port table. Reading it also brings the switch ports' kernel network
// devices into line: existing devices are listed, each logical port's
// device is requested (created and addressed when missing), "switch"
// devices are brought up on a knet system, and unclaimed ones removed.
#include "bringup/sdkconfig/sdkconfig_ops.hpp"
#include "bringup/sdkconfig/text_lines.hpp"

namespace bringup {

namespace {

// The lines of a command's output, split at LF, CR and CRLF only: the
// host's splitlines() would also cut at form feeds, group separators and
// the like, which a device alias may hold, and so list a fragment as a
// device to delete or to bring up.
py::object output_lines(py::handle output) {
  static const py::handle crlf = common::forever(py::str("\r\n")), cr = common::forever(py::str("\r")),
                          lf = common::forever(py::str("\n"));
  SW_LET(no_crlf, common::steal(PyUnicode_Replace(output.ptr(), crlf.ptr(), lf.ptr(), -1)));
  SW_LET(no_cr, common::steal(PyUnicode_Replace(no_crlf.ptr(), cr.ptr(), lf.ptr(), -1)));
  return common::steal(PyUnicode_Split(no_cr.ptr(), lf.ptr(), -1));
}

// Runs `runner.run(words)` with the words given as C texts.
py::object run_words(py::handle self, PyObject* runner_name,
                     std::initializer_list<py::handle> words) {
  SW_LET(list, common::steal(PyList_New(0)));
  for (py::handle word : words) SW_CHECK(PyList_Append(list.ptr(), word.ptr()));
  SW_LET(runner, common::get(self, runner_name));
  return common::call_method(runner, names.run, list);
}

// Tap mode: exactly "1" in the process environment, read now.
int tap_mode() {
  static const py::handle variable = common::forever(py::str("IFMAKER_USE_TUNTAP"));
  static const py::handle one = common::forever(py::str("1"));
  py::object os = global(names.os);
  if (!os) return -1;
  py::object environ = common::get(os, names.environ);
  if (!environ) return -1;
  py::object value = common::call_method(environ, names.get, variable);
  if (!value) return -1;
  return value.is_none() ? 0 : common::equal(value, one);
}

// The existing devices, into `interfaces`.
int list_devices(py::handle self, py::handle sw_base, bool tuntap, py::handle interfaces) {
  static const py::handle bcm = common::forever(py::str("bcm")), mlx = common::forever(py::str("mlx")),
                          vx = common::forever(py::str("vx"));
  static const py::handle colon = common::forever(py::str(":")), blank = common::forever(py::str(" "));
  static const py::handle switch_word = common::forever(py::str("switch")), swid = common::forever(py::str("swid"));
  static const py::handle tuntap_word = common::forever(py::str("tuntap")), show = common::forever(py::str("show")),
                          type = common::forever(py::str("type"));
  static const py::handle bcm_knet = common::forever(py::str("bcm_knet")),
                          mlx_sx_netdev = common::forever(py::str("mlx_sx_netdev"));
  py::object output;
  py::handle separator;
  if (tuntap) {
    output = run_words(self, names.iproute2, {tuntap_word, show});
    separator = colon;
  } else {
    int is_vx = common::equal(sw_base, vx);
    if (is_vx) return is_vx;  // 1 is fine too: nothing is listed on "vx"
    int is_bcm = common::equal(sw_base, bcm);
    if (is_bcm < 0) return -1;
    int is_mlx = is_bcm ? 0 : common::equal(sw_base, mlx);
    if (is_mlx < 0) return -1;
    if (!is_bcm && !is_mlx) {
      py::object error_class = global(names.UnsupportedPlatformError);
      py::object message =
          error_class ? common::percent_text("Kernel netdevs are not supported                      "
                                             "on %s, only on Broadcom and Mellanox",
                                             sw_base)
                      : py::object();
      if (message) fail_with(error_class, message);
      return -1;
    }
    output = run_words(self, names.ifmaker, {show, type, is_bcm ? bcm_knet : mlx_sx_netdev});
    separator = blank;
  }
  if (!output) return -1;
  py::object lines = output_lines(output);
  if (!lines) return -1;
  for (Py_ssize_t i = 0; i < PyList_GET_SIZE(lines.ptr()); ++i) {
    py::object fields = common::steal(PyUnicode_Split(PyList_GET_ITEM(lines.ptr(), i),
                                                      separator.ptr(), tuntap ? 1 : -1));
    if (!fields) return -1;
    py::handle name = PyList_GET_ITEM(fields.ptr(), 0);
    if (PyUnicode_GET_LENGTH(name.ptr()) == 0) continue;
    if (!tuntap) {
      int reserved = common::equal(name, switch_word);
      if (reserved == 0) reserved = common::equal(name, swid);
      if (reserved < 0) return -1;
      if (reserved) continue;
    }
    if (PySet_Add(interfaces.ptr(), name.ptr()) < 0) return -1;
  }
  return 0;
}

// "ip -o link show": every device whose name holds "switch" is brought up.
// The name is the second ":" field without blanks and without "@parent".
int bring_up_switch_devices(py::handle self) {
  static const py::handle minus_o = common::forever(py::str("-o")), link = common::forever(py::str("link")),
                          show = common::forever(py::str("show")), set = common::forever(py::str("set")),
                          up = common::forever(py::str("up"));
  static const py::handle colon = common::forever(py::str(":")), at = common::forever(py::str("@")),
                          switch_word = common::forever(py::str("switch"));
  py::object output = run_words(self, names.iproute2, {minus_o, link, show});
  if (!output) return -1;
  py::object lines = output_lines(output);
  if (!lines) return -1;
  for (Py_ssize_t i = 0; i < PyList_GET_SIZE(lines.ptr()); ++i) {
    py::object fields = common::steal(PyUnicode_Split(PyList_GET_ITEM(lines.ptr(), i), colon.ptr(), -1));
    if (!fields) return -1;
    if (PyList_GET_SIZE(fields.ptr()) < 2) continue;
    py::object stripped = common::call_method(PyList_GET_ITEM(fields.ptr(), 1), names.strip);
    if (!stripped) return -1;
    py::object parts = common::steal(PyUnicode_Split(stripped.ptr(), at.ptr(), 1));
    if (!parts) return -1;
    py::handle name = PyList_GET_ITEM(parts.ptr(), 0);
    int is_switch = PyUnicode_Contains(name.ptr(), switch_word.ptr());
    if (is_switch < 0) return -1;
    if (!is_switch || PyUnicode_GET_LENGTH(name.ptr()) == 0) continue;
    if (!run_words(self, names.iproute2, {link, set, name, up})) return -1;
  }
  return 0;
}

}  // namespace

py::object porttab_text(py::handle self) {
  static const py::handle bcm = common::forever(py::str("bcm"));
  // Before any command runs.
  SW_CHECK(refuse_shared_kernel_name(self));
  SW_CHECK(refuse_shared_sdk_port(self));
  TextLines rows;
  SW_LET(interfaces, common::steal(PySet_New(nullptr)));
  SW_LET(chip, chip_of_config(self));
  SW_LET(sw_base, common::get(chip, names.sw_base));
  SW_LET(tuntap, tap_mode());
  if (list_devices(self, sw_base, tuntap, interfaces) < 0) return {};
  SW_LET(ports, ports_of(self));
  for (Py_ssize_t i = 0; i < PyList_GET_SIZE(ports.ptr()); ++i) {
    py::handle port = PyList_GET_ITEM(ports.ptr(), i);
    long count = 0;
    if (!logical_port_count(port, count)) return {};
    for (long sub = 0; sub < count; ++sub) {
      SW_LET(sub_number, common::integer(sub));
      SW_LET(portname, common::call_method(port, names.linux_port_name, sub_number));
      SW_LET(dport_capable, common::get(chip, names.dport_capable));
      SW_LET(by_number, common::truth(dport_capable));
      SW_LET(lp_num, by_number ? common::call_method(port, names.sdk_logical_port_num, sub_number)
                               : common::integer(-1));
      SW_LET(sdk_name, common::call_method(port, names.sdk_intf, sub_number));
      SW_LET(unit, common::get(port, names.unit));
      SW_LET(is_fabric, common::get(port, names.is_fabric));
      SW_LET(loopback, common::get(port, names.loopback));
      if (!rows.line(Text{portname}, "\t", Text{sdk_name}, "\t", Number{unit}, "\t",
                     Number{is_fabric, 'i'}, "\t", Number{lp_num}, "\t", Number{loopback, 'i'})) {
        return {};
      }
      int wants_device = is_fabric.ptr() == Py_False;
      if (!wants_device) {
        SW_LET(create_fabric, common::get(port, names.create_fabric));
        SW_CHECK(wants_device = common::truth(create_fabric));
      }
      if (!wants_device) continue;
      SW_LET(mac_index, common::call_method(port, names.port_mac_index, sub_number));
      if (tuntap) {
        SW_CHECK(common::call_method(self, names.maketap, portname, mac_index, interfaces));
      } else {
        SW_LET(device_unit, common::get(port, names.unit));
        SW_CHECK(common::call_method(self, names.makekernnet, portname, mac_index, device_unit,
                                     interfaces));
      }
    }
  }
  SW_LET(base_again, common::get(chip, names.sw_base));
  SW_LET(on_bcm, common::equal(base_again, bcm));
  if (on_bcm && !tuntap && bring_up_switch_devices(self) < 0) return {};
  SW_CHECK(common::call_method(self, names.destroyints, interfaces));
  return rows.host();
}

}  // namespace bringup
