// Config's MAC and kernel network device side: the MAC mode, deriving a
// port's address, tap and switch-port devices, their addresses, the knet
// link mark and the removal of devices no port claimed.
#include <cstdint>
#include <optional>
#include <string>

#include "bringup/binding.hpp"
#include "bringup/config/config_ops.hpp"
#include "bringup/core/mac_address.hpp"
#include "common/process_errors.hpp"
#include "common/process_runner.hpp"

namespace bringup {

namespace {

const char* const kKnetLink = "/proc/bcm/knet/link";

// A device name goes into commands split at white space, so a name that is
// empty or holds white space would shift the words; a NUL would cut a word
// and no device name holds a control character: all refused up front.
int check_device_name(py::handle name) {
  if (!PyUnicode_Check(name.ptr())) {
    common::fail_percent(PyExc_TypeError, "device name must be a text, not %r", name);
    return -1;
  }
  const Py_ssize_t length = PyUnicode_GET_LENGTH(name.ptr());
  bool bad = length == 0;
  for (Py_ssize_t i = 0; i < length && !bad; ++i) {
    const Py_UCS4 c = PyUnicode_READ_CHAR(name.ptr(), i);
    bad = Py_UNICODE_ISSPACE(c) || c < 0x20 || (c >= 0x7f && c < 0xa0);
  }
  if (!bad) return 0;
  common::fail_percent(PyExc_ValueError,
                       "bad device name (empty, or holding white space or a control character): %r",
                       name);
  return -1;
}

// `self.<runner>.run((template % values).split())`.
template <typename... Values>
py::object run_command(py::handle self, PyObject* runner_name, py::handle format,
                       const Values&... values) {
  SW_LET(text, common::percent_text(format, values...));
  SW_LET(words, common::call_method(text, names.split));
  SW_LET(runner, common::get(self, runner_name));
  return common::call_method(runner, names.run, words);
}

// The index a port's address uses: 0 in MAC mode "l3-only".
py::object index_for_mode(py::handle self, py::handle index) {
  static const py::handle l3_only = common::forever(py::str("l3-only"));
  SW_LET(macmode, common::get(self, names.macmode));
  SW_LET(is_l3_only, common::equal(macmode, l3_only));
  return is_l3_only ? common::integer(0) : common::borrow(index.ptr());
}

// The port's derived address; None for no address, which is also what a
// carry into the OUI (derivation result 0) means to the device steps.
py::object address_for(py::handle self, py::handle index) {
  SW_LET(macbase, common::get(self, names.macbase));
  SW_LET(address, common::call_method(self, names.makemacaddr, macbase, index));
  if (PyLong_Check(address.ptr())) {
    SW_LET(zero, common::integer(0));
    SW_LET(is_zero, common::equal(address, zero));
    if (is_zero) return common::none();
  }
  return address;
}

// `name in interface_set`, taking it out when it is: 1, 0 or -1.
int claim_existing(py::handle interface_set, py::handle name) {
  int present = common::contains(interface_set, name);
  if (present <= 0) return present;
  return common::call_method(interface_set, names.remove, name) ? 1 : -1;
}

py::object sw_base_of(py::handle self) {
  SW_LET(platform, common::get(self, names.platform));
  SW_LET(platform_switch, common::get(platform, names.switch_));
  SW_LET(chip, common::get(platform_switch, names.chip));
  return common::get(chip, names.sw_base);
}

// "%s=down" into the knet link file: opened, written once and closed. The
// module's `_knet_link_file`, None by default, names another file for
// tests; a switch without the driver fails here with the host's OSError.
py::object mark_knet_down(py::handle portname) {
  SW_LET(seam, global(names._knet_link_file));
  std::string path = kKnetLink;
  if (!seam.is_none()) {
    PyObject* converted = nullptr;
    if (!PyUnicode_FSConverter(seam.ptr(), &converted)) return {};
    path.assign(PyBytes_AS_STRING(converted), PyBytes_GET_SIZE(converted));
    Py_DECREF(converted);
  }
  static const py::handle down = common::forever(py::str("%s=down"));
  SW_LET(line, common::percent_text(down, portname));
  SW_LET(bytes, common::steal(PyUnicode_AsEncodedString(line.ptr(), "utf-8", "surrogateescape")));
  try {
    common::write_file(path, std::string(PyBytes_AS_STRING(bytes.ptr()), PyBytes_GET_SIZE(bytes.ptr())));
  } catch (const common::OsError& error) {
    return common::fail_os(error);
  }
  return common::none();
}

// An address byte the arithmetic can use, or -1 with the error set.
std::int64_t address_byte(py::handle inmac, Py_ssize_t position) {
  py::object value = common::item_at(inmac, position);
  if (!value) return -1;
  if (!PyLong_Check(value.ptr())) {
    common::fail_percent(PyExc_TypeError, "MAC address bytes must be ints: %r", inmac);
    return -1;
  }
  long byte = PyLong_AsLong(value.ptr());
  if (byte == -1 && PyErr_Occurred()) PyErr_Clear();
  if (byte < 0 || byte > 255) {
    common::fail_percent(PyExc_ValueError, "MAC address byte out of range: %r", inmac);
    return -1;
  }
  return byte;
}

}  // namespace

py::object set_macmode(py::handle self, py::handle mode) {
  SW_CHECK(common::set(self, names.macmode, mode));
  return common::none();
}

py::object makemacaddr(py::handle, py::handle inmac, py::handle index) {
  if (inmac.is_none()) return common::none();
  MacAddress base{};
  for (Py_ssize_t i = 0; i < 6; ++i) {
    base[i] = address_byte(inmac, i);
    if (base[i] < 0) return {};
  }
  SW_LET(number, common::steal(PyNumber_Index(index.ptr())));
  int overflow = 0;
  long long offset = PyLong_AsLongLongAndOverflow(number.ptr(), &overflow);
  if (offset == -1 && PyErr_Occurred()) return {};
  std::optional<MacAddress> address;
  if (!overflow) address = derive_mac(base, offset);
  if (!address) {
    static const py::handle message = common::forever(py::str("Tried to carry into OUI.\n"));
    SW_LET(sys, global(names.sys));
    SW_LET(stdout_stream, common::get(sys, names.stdout));
    SW_CHECK(common::call_method(stdout_stream, names.write, message));
    return common::integer(0);
  }
  SW_LET(list, common::steal(PyList_New(6)));
  for (Py_ssize_t i = 0; i < 6; ++i) {
    PyObject* byte = PyLong_FromLongLong((*address)[i]);
    if (!byte) return {};
    PyList_SET_ITEM(list.ptr(), i, byte);
  }
  return list;
}

py::object destroyints(py::handle self, py::handle interface_set) {
  static const py::handle kept = common::forever(py::str("switch"));
  static const py::handle link_del = common::forever(py::str("link del dev %s"));
  // Checked whole first, so a bad name deletes nothing; sorted so the
  // commands run in the same order every time.
  SW_LET(ordered, common::steal(PySequence_List(interface_set.ptr())));
  for (Py_ssize_t i = 0; i < PyList_GET_SIZE(ordered.ptr()); ++i) {
    if (check_device_name(PyList_GET_ITEM(ordered.ptr(), i)) < 0) return {};
  }
  SW_CHECK(PyList_Sort(ordered.ptr()));
  for (Py_ssize_t i = 0; i < PyList_GET_SIZE(ordered.ptr()); ++i) {
    py::handle name = PyList_GET_ITEM(ordered.ptr(), i);
    SW_LET(is_kept, common::contains(name, kept));
    if (is_kept) continue;
    SW_CHECK(run_command(self, names.iproute2, link_del, name));
  }
  SW_CHECK(common::call_method(interface_set, names.clear));
  return common::none();
}

py::object setmac(py::handle self, py::handle portname, py::handle index) {
  static const py::handle link_down = common::forever(py::str("link set %s down"));
  static const py::handle link_address =
      common::forever(py::str("link set dev %s address %x:%x:%x:%x:%x:%x"));
  if (check_device_name(portname) < 0) return {};
  SW_LET(effective, index_for_mode(self, index));
  SW_LET(address, address_for(self, effective));
  if (address.is_none()) return common::none();
  SW_CHECK(run_command(self, names.iproute2, link_down, portname));
  PyObject* bytes[6];
  for (Py_ssize_t i = 0; i < 6; ++i) {
    bytes[i] = PySequence_GetItem(address.ptr(), i);
    if (!bytes[i]) {
      while (i-- > 0) Py_DECREF(bytes[i]);
      return {};
    }
  }
  py::object held[6];
  for (int i = 0; i < 6; ++i) held[i] = common::steal(bytes[i]);
  return run_command(self, names.iproute2, link_address, portname,
                     held[0], held[1], held[2], held[3], held[4], held[5]);
}

py::object maketap(py::handle self, py::handle portname, py::handle index,
                   py::handle interface_set) {
  static const py::handle tuntap_add = common::forever(py::str("tuntap add dev %s mode tap one_queue"));
  if (check_device_name(portname) < 0) return {};
  SW_LET(existing, claim_existing(interface_set, portname));
  if (existing) return common::none();
  SW_LET(effective, index_for_mode(self, index));
  SW_LET(address, address_for(self, effective));
  if (address.is_none()) return common::none();
  SW_CHECK(run_command(self, names.iproute2, tuntap_add, portname));
  SW_CHECK(common::call_method(self, names.setmac, portname, effective));
  return common::none();
}

py::object makekernnet(py::handle self, py::handle portname, py::handle index, py::handle unit,
                       py::handle interface_set) {
  static const py::handle bcm = common::forever(py::str("bcm")), mlx = common::forever(py::str("mlx"));
  static const py::handle bcm_knet = common::forever(py::str("bcm_knet")),
                          mlx_sx_netdev = common::forever(py::str("mlx_sx_netdev"));
  static const py::handle ifmaker_add = common::forever(py::str("add name %s type %s unit %s"));
  static const py::handle unsupported = common::forever(py::str(
      "Kernel netdevs are not supported                           on %s, "
      "only on Broadcom and Mellanox"));
  SW_LET(dummy, common::get(self, names.dummy));
  SW_LET(is_dummy, common::truth(dummy));
  if (is_dummy) return common::none();
  if (check_device_name(portname) < 0) return {};
  SW_LET(existing, claim_existing(interface_set, portname));
  if (!existing) {
    SW_LET(effective, index_for_mode(self, index));
    SW_LET(address, address_for(self, effective));
    if (!address.is_none()) {
      SW_LET(sw_base, sw_base_of(self));
      SW_LET(is_bcm, common::equal(sw_base, bcm));
      SW_LET(is_mlx, is_bcm ? 0 : common::equal(sw_base, mlx));
      if (!is_bcm && !is_mlx) {
        SW_LET(error_class, global(names.UnsupportedPlatformError));
        SW_LET(message, common::percent_text(unsupported, sw_base));
        return fail_with(error_class, message);
      }
      SW_LET(unit_text, common::steal(PyObject_Str(unit.ptr())));
      SW_CHECK(run_command(self, names.ifmaker, ifmaker_add, portname,
                           is_bcm ? bcm_knet : mlx_sx_netdev, unit_text));
      SW_CHECK(common::call_method(self, names.setmac, portname, effective));
    }
  }
  SW_LET(sw_base, sw_base_of(self));
  SW_LET(is_bcm, common::equal(sw_base, bcm));
  if (is_bcm) SW_CHECK(mark_knet_down(portname));
  return common::none();
}

}  // namespace bringup
