// The per-unit port script: shell variables naming lists of SDK interface
// names, each list written compressed with ranges ("ce0,xe0-xe3,xe5").
#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace bringup {

// A name whose number (the text from its third character on) is not a
// decimal integer; what() is that text.
class PortNumberError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Sorted by prefix and the number written with at least three digits
// (compared as text, stable), cut into runs of one prefix whose numbers
// rise by one; a run of three or more is written "first-last".
std::string compress_portlist(const std::vector<std::string>& names);

// One logical port of the unit.
struct ScriptPort {
  std::string sdk_intf;
  std::string speed;                     // the speed's text form ("10")
  double speed_order = 0;                // the speed as a number, for sorting
  bool loopback = false;
  std::optional<std::string> sdk_group;  // text form; absent: no group
};

// "setenv allports ...", one "setenv <speed>Gports ..." per speed, the
// loopback lines when there are loopback ports, one "setenv sdk_group_<g>
// ..." per group; speeds ascending, groups in order of first appearance.
std::string port_script(const std::vector<ScriptPort>& ports);

}  // namespace bringup
