// A port bitmap of any width: bit n stands for SDK port n. Bitmaps are
// only ever ORed together and written in hexadecimal.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace bringup {

class PortBitmap {
 public:
  PortBitmap() = default;
  // From little-endian 64-bit words (word 0 holds bits 0 to 63).
  explicit PortBitmap(std::vector<std::uint64_t> words);

  PortBitmap& operator|=(const PortBitmap& other);
  bool operator==(const PortBitmap& other) const;

  // "%x" of the bitmap as a non-negative integer ("0" for no bits).
  std::string hex() const;

 private:
  void trim();
  std::vector<std::uint64_t> words_;
};

}  // namespace bringup
