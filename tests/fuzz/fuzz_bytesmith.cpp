// The LED assembler: a program or a list of errors, never both; a program
// fits the LED processor's memory and renders as hex.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "bytesmith/assembler.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string source(reinterpret_cast<const char*>(data), size);
  bytesmith::Assembly assembly = bytesmith::assemble(source);
  if (assembly.errors.empty()) {
    if (assembly.program.size() > bytesmith::kProgramMemory) std::abort();
    std::string hex = bytesmith::hex_text(assembly.program);
    if (hex.empty()) std::abort();
  }
  return 0;
}
