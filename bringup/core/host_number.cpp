#include "bringup/core/host_number.hpp"

#include "bringup/core/number_text.hpp"

namespace bringup {

std::string decimal_of(const HostNumber& number, char placeholder) {
  if (!number) {
    throw FormatError(std::string("%") + placeholder +
                      " format: a real number is required, not NoneType");
  }
  return decimal(*number);
}

std::string hexadecimal_of(const HostNumber& number, int width) {
  if (!number) throw FormatError("%x format: an integer is required, not NoneType");
  return hexadecimal(*number, width);
}

}  // namespace bringup
