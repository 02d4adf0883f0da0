// The per-unit port script: shell variables naming lists of SDK interface
// names, each list written compressed with ranges ("ce0,xe0-xe3,xe5").
#pragma once

#include <cstdint>
#include <functional>
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
  std::string speed;                     // the speed's text form ("10")
  double speed_order = 0;                // the speed as a number, for sorting
  bool loopback = false;
  std::optional<std::string> sdk_group;  // text form; absent: no group
};

// The text written for one list of the unit's logical ports, given as
// their positions in the script's port list, in order; nullopt stops the
// script.
using CompressList = std::function<std::optional<std::string>(const std::vector<std::size_t>&)>;

// "setenv allports ...", one "setenv <speed>Gports ..." per speed, the
// loopback lines when there are loopback ports, one "setenv sdk_group_<g>
// ..." per group; speeds ascending, groups in order of first appearance.
// Each list is written as `compress` gives it; nullopt when it gave none.
std::optional<std::string> port_script(const std::vector<ScriptPort>& ports, const CompressList& compress);

}  // namespace bringup
