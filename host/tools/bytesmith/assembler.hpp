// The checking assembler behind bytesmith: source text in, program bytes
// out, or the list of everything wrong with the source. See bytesmith.cpp
// for the language and the hex format.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace bytesmith {

constexpr std::size_t kProgramMemory = 1024;  // bytes of LED program memory

struct SourceError {
  int line = 0;  // 1-based; 0 for the program as a whole
  std::string message;
};

struct Assembly {
  std::vector<std::uint8_t> program;
  std::vector<SourceError> errors;  // empty when the program is good
};

Assembly assemble(const std::string& source);

// The hex text of a program (the format documented in bytesmith.cpp).
std::string hex_text(const std::vector<std::uint8_t>& program);

}  // namespace bytesmith
