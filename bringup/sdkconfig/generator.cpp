#include "bringup/sdkconfig/generator.hpp"

#include "bringup/sdkconfig/text_lines.hpp"

#include <bit>
#include <cmath>
#include <limits>

namespace bringup {

py::object switch_of(py::handle self) {
  SW_LET(platform, common::get(self, names.platform));
  return common::get(platform, names.switch_);
}

py::object platform_name(py::handle self) {
  SW_LET(platform, common::get(self, names.platform));
  return common::get(platform, names.name);
}

py::object chip_of_config(py::handle self) {
  SW_LET(platform_switch, switch_of(self));
  return common::get(platform_switch, names.chip);
}

int flag_set(py::handle obj, PyObject* name) {
  py::object value = common::get(obj, name);
  if (!value) {
    if (!PyErr_ExceptionMatches(PyExc_AttributeError)) return -1;
    PyErr_Clear();
    return 0;
  }
  return common::truth(value);
}

py::object ports_of(py::handle self) {
  SW_LET(ports, common::get(self, names.ports));
  return common::steal(PySequence_List(ports.ptr()));
}

bool logical_port_count(py::handle port, long& count) {
  py::object value = common::get(port, names.num_logical_ports);
  if (!value) return false;
  if (!PyLong_Check(value.ptr())) {
    common::fail_percent(PyExc_TypeError, "num_logical_ports must be an int, not %r", value);
    return false;
  }
  count = PyLong_AsLong(value.ptr());
  return !(count == -1 && PyErr_Occurred());
}

py::object unit_count(py::handle self) {
  SW_LET(units, common::get(self, names.units));
  Py_ssize_t size = PyObject_Size(units.ptr());
  if (size < 0) return {};
  return common::steal(PyLong_FromSsize_t(size));
}

int several_units(py::handle self) {
  SW_LET(units, common::get(self, names.units));
  Py_ssize_t size = PyObject_Size(units.ptr());
  return size < 0 ? -1 : size > 1;
}

py::object logical_port_key(py::handle port, py::handle sub, int several) {
  SW_LET(logical, common::call_method(port, names.sdk_logical_port_num, sub));
  if (!several) return TextLines::single(Number{logical, 'd'});
  SW_LET(unit, common::get(port, names.unit));
  return TextLines::single(Number{logical, 'd'}, ".", Number{unit});
}

bool host_number(py::handle value, char placeholder, HostNumber& out) {
  if (value.is_none()) {
    out.reset();
    return true;
  }
  if (PyFloat_Check(value.ptr()) && placeholder != 'x') {
    const double number = std::trunc(PyFloat_AS_DOUBLE(value.ptr()));
    if (!(std::fabs(number) < 9.2e18)) {
      common::fail_percent(PyExc_OverflowError, "value out of range: %r", value);
      return false;
    }
    out = static_cast<std::int64_t>(number);
    return true;
  }
  if (!PyLong_Check(value.ptr())) {
    const char* wanted = placeholder == 'x' ? "an integer" : "a real number";
    py::object type_name = common::get(py::handle(reinterpret_cast<PyObject*>(Py_TYPE(value.ptr()))),
                                       names.dunder_name);
    if (!type_name) return false;
    std::string conversion(1, placeholder);
    common::fail_percent(PyExc_TypeError, "%%%s format: %s is required, not %s",
                         py::str(conversion), py::str(wanted), type_name);
    return false;
  }
  int overflow = 0;
  const long long number = PyLong_AsLongLongAndOverflow(value.ptr(), &overflow);
  if (overflow) {
    common::fail_percent(PyExc_OverflowError, "value out of range: %r", value);
    return false;
  }
  if (number == -1 && PyErr_Occurred()) return false;
  out = number;
  return true;
}

bool text_form(py::handle value, std::string& out) {
  py::object text = PyUnicode_Check(value.ptr()) ? common::borrow(value.ptr())
                                                 : common::steal(PyObject_Str(value.ptr()));
  if (!text) return false;
  py::object bytes =
      common::steal(PyUnicode_AsEncodedString(text.ptr(), "utf-8", "surrogatepass"));
  if (!bytes) return false;
  out.assign(PyBytes_AS_STRING(bytes.ptr()), static_cast<std::size_t>(PyBytes_GET_SIZE(bytes.ptr())));
  return true;
}

bool host_bitmap(py::handle value, PortBitmap& out) {
  if (!PyLong_Check(value.ptr())) {
    common::fail_percent(PyExc_TypeError, "a port bitmap must be an int, not %r", value);
    return false;
  }
  if (_PyLong_Sign(value.ptr()) < 0) {
    common::fail_percent(PyExc_ValueError, "a port bitmap cannot be negative: %r", value);
    return false;
  }
  const std::size_t bits = _PyLong_NumBits(value.ptr());
  if (bits == static_cast<std::size_t>(-1)) return false;
  std::vector<std::uint64_t> words((bits + 63) / 64, 0);
  if (!words.empty() &&
      _PyLong_AsByteArray(reinterpret_cast<PyLongObject*>(value.ptr()),
                          reinterpret_cast<unsigned char*>(words.data()), words.size() * 8,
                          /*little_endian=*/1, /*is_signed=*/0) < 0) {
    return false;
  }
  // The words were filled byte by byte from the lowest: fix their order
  // on a big-endian host.
  if constexpr (std::endian::native == std::endian::big) {
    for (auto& word : words) word = __builtin_bswap64(word);
  }
  out = PortBitmap(std::move(words));
  return true;
}

py::object host_text(const std::string& utf8) {
  return common::steal(
      PyUnicode_DecodeUTF8(utf8.data(), static_cast<Py_ssize_t>(utf8.size()), "surrogatepass"));
}

py::object joined(py::handle lines) {
  static const py::handle newline = common::forever(py::str("\n"));
  return common::steal(PyUnicode_Join(newline.ptr(), lines.ptr()));
}

bool append_text(py::handle list, const std::string& utf8) {
  py::object text = host_text(utf8);
  return text && PyList_Append(list.ptr(), text.ptr()) == 0;
}

}  // namespace bringup
