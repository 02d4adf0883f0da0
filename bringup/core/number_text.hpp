// Integers written as the host's `%` operator writes them: "%d"/"%u" in
// decimal and "%x" in lower-case hexadecimal, with an optional zero-padded
// width that counts the sign ("%04x" % -5 is "-005").
#pragma once

#include <cstdint>
#include <string>

namespace bringup {

std::string decimal(std::int64_t value, int width = 0);
std::string hexadecimal(std::int64_t value, int width = 0);

}  // namespace bringup
