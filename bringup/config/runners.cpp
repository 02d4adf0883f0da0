// Boardinfo, IPRoute2 and Ifmaker: the runners of the outside tools, each
// with a dummy mode in which nothing runs and a fixed answer stands in.
#include "bringup/binding.hpp"
#include "bringup/registrations.hpp"

namespace bringup {

namespace {

const char* const kBoardinfo = "/usr/tervane/bin/boardinfo";
const char* const kIfmaker = "/usr/lib/tervane/ifmaker";

// The EEPROM tool's failures are reported by their one line alone: no call
// trace for the rest of the process, the line in syslog, then the error.
py::object eeprom_failure(py::handle message) {
  SW_LET(sys, global(names.sys));
  SW_LET(zero, common::integer(0));
  SW_CHECK(common::set(sys, names.tracebacklimit, zero));
  SW_LET(syslog, global(names.syslog));
  SW_LET(priority, common::get(syslog, names.LOG_ERR));
  SW_CHECK(common::call_method(syslog, names.syslog, priority, message));
  return common::fail_object(PyExc_RuntimeError, message);
}

// The tool's output for `option`, or null with the logged failure raised.
py::object boardinfo_output(const char* option, const char* failure) {
  static const py::handle program = common::forever(py::str(kBoardinfo));
  SW_LET(option_text, common::steal(PyUnicode_FromString(option)));
  SW_LET(words, common::steal(PyList_New(0)));
  SW_CHECK(PyList_Append(words.ptr(), program.ptr()));
  SW_CHECK(PyList_Append(words.ptr(), option_text.ptr()));
  py::object output = run_program(words);
  if (output) return output;
  if (!PyErr_ExceptionMatches(PyExc_Exception)) return {};  // an interrupt stays one
  PyErr_Clear();
  SW_LET(message, common::steal(PyUnicode_FromString(failure)));
  return eeprom_failure(message);
}

py::object boardinfo_init(py::handle self, py::handle dummy, py::handle sw_base) {
  SW_CHECK(common::set(self, names.dummy, dummy));
  SW_CHECK(common::set(self, names.sw_base, sw_base));
  return common::none();
}

py::object macaddr(py::handle self) {
  static const py::handle dummy_address = common::forever(py::str("ff:ff:ff:ff:ff:00"));
  SW_LET(dummy, common::get(self, names.dummy));
  SW_LET(is_dummy, common::truth(dummy));
  if (is_dummy) return common::borrow(dummy_address.ptr());
  return boardinfo_output("-a", "error: boardinfo -a failed");
}

py::object macrange(py::handle self) {
  SW_LET(dummy, common::get(self, names.dummy));
  SW_LET(is_dummy, common::truth(dummy));
  if (is_dummy) return common::integer(255);
  SW_LET(raw, boardinfo_output("-r", "error: boardinfo -r failed"));
  py::object number = to_int(raw);
  if (number) return number;
  if (!PyErr_ExceptionMatches(PyExc_ValueError)) return {};
  PyErr_Clear();  // no decimal number
  static const py::handle bogus = common::forever(py::str("error: boardinfo -r returned bogus value: %s"));
  SW_LET(message, common::percent_text(bogus, raw));
  return eeprom_failure(message);
}

py::object runner_init(py::handle self, py::handle dummy) {
  SW_CHECK(common::set(self, names.dummy, dummy));
  return common::none();
}

// `program` followed by the caller's words; the empty text in dummy mode.
py::object run_with(py::handle self, py::handle program, py::handle args) {
  static const py::handle empty = common::forever(py::str(""));
  // A text is a sequence too, but of characters, not of argument words.
  if (PyUnicode_Check(args.ptr()) || PyBytes_Check(args.ptr()) || PyByteArray_Check(args.ptr())) {
    return common::fail_percent(PyExc_TypeError,
                                "run() needs a list of argument words, not a text: %r", args);
  }
  SW_LET(dummy, common::get(self, names.dummy));
  SW_LET(is_dummy, common::truth(dummy));
  if (is_dummy) return common::borrow(empty.ptr());
  SW_LET(words, common::steal(PySequence_List(args.ptr())));
  SW_CHECK(PyList_Insert(words.ptr(), 0, program.ptr()));
  return run_program(words);
}

py::object ip_run(py::handle self, py::handle args) {
  static const py::handle program = common::forever(py::str("ip"));
  return run_with(self, program, args);
}

py::object ifmaker_run(py::handle self, py::handle args) {
  static const py::handle program = common::forever(py::str(kIfmaker));
  return run_with(self, program, args);
}

}  // namespace

void define_runners(py::module_& module) {
  define_class(module, "Boardinfo", nullptr,
               "Helper for boardinfo.  Supports a dummy mode for testing.")
      .method("__init__", &boardinfo_init,
              {"self", {"dummy", py::bool_(false)}, {"sw_base", py::none()}})
      .property("macaddr", &macaddr)
      .property("macrange", &macrange)
      .build();
  define_class(module, "IPRoute2", nullptr,
               "Helper for iproute2.  Supports a dummy mode for testing.")
      .method("__init__", &runner_init, {"self", {"dummy", py::bool_(false)}})
      .method("run", &ip_run, {"self", "args"})
      .build();
  define_class(module, "Ifmaker", nullptr,
               "Helper for ifmaker.  Supports a dummy mode for testing.")
      .method("__init__", &runner_init, {"self", {"dummy", py::bool_(false)}})
      .method("run", &ifmaker_run, {"self", "args"})
      .build();
}

}  // namespace bringup
