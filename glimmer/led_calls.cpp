#include "glimmer/led_calls.hpp"

#include <cstring>

#include "common/host_calls.hpp"
#include "common/host_containers.hpp"

namespace glimmer {

namespace {

py::handle zero() {
  static const py::handle value = py::int_(0).release();
  return value;
}

py::handle one() {
  static const py::handle value = py::int_(1).release();
  return value;
}

}  // namespace

bool plain_int(py::handle value, std::int64_t& out) {
  if (!PyLong_CheckExact(value.ptr())) return false;
  int overflow = 0;
  long long number = PyLong_AsLongLongAndOverflow(value.ptr(), &overflow);
  if (overflow != 0) return false;
  out = number;
  return true;
}

int pad_value_of(py::handle call) {
  PyObject* raw = call.ptr();
  // None, tuples and texts equal no number, whatever they hold.
  if (raw == Py_None || PyTuple_CheckExact(raw) || PyUnicode_CheckExact(raw)) return -1;
  std::int64_t number = 0;
  if (plain_int(call, number)) return number == 0 ? 0 : (number == 1 ? 1 : -1);
  int is_zero = common::equal(call, zero());
  if (is_zero != 0) return is_zero < 0 ? -2 : 0;
  int is_one = common::equal(call, one());
  if (is_one != 0) return is_one < 0 ? -2 : 1;
  return -1;
}

int equals_zero(py::handle value) {
  std::int64_t number = 0;
  if (plain_int(value, number)) return number == 0;
  return common::equal(value, zero());
}

int unpack_run(py::handle run, py::object& call, py::object& count) {
  py::object parts[2];
  if (common::unpack(run, parts, 2) < 0) return -1;
  call = std::move(parts[0]);
  count = std::move(parts[1]);
  return 0;
}

py::object line_text(std::string_view line) {
  PyObject* text = PyUnicode_New(static_cast<Py_ssize_t>(line.size()), 127);
  if (!text) return {};
  std::memcpy(PyUnicode_DATA(text), line.data(), line.size());
  return common::steal(text);
}

}  // namespace glimmer
