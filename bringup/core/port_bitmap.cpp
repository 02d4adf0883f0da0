#include "bringup/core/port_bitmap.hpp"

#include <utility>

namespace bringup {

PortBitmap::PortBitmap(std::vector<std::uint64_t> words) : words_(std::move(words)) { trim(); }

PortBitmap& PortBitmap::operator|=(const PortBitmap& other) {
  if (other.words_.size() > words_.size()) words_.resize(other.words_.size(), 0);
  for (std::size_t i = 0; i < other.words_.size(); ++i) words_[i] |= other.words_[i];
  return *this;
}

bool PortBitmap::operator==(const PortBitmap& other) const { return words_ == other.words_; }

std::string PortBitmap::hex() const {
  if (words_.empty()) return "0";
  std::string text;
  for (std::size_t i = words_.size(); i-- > 0;) {
    for (int shift = 60; shift >= 0; shift -= 4) {
      const unsigned nibble = static_cast<unsigned>(words_[i] >> shift) & 0xf;
      if (text.empty() && nibble == 0) continue;  // no leading zeros
      text.push_back("0123456789abcdef"[nibble]);
    }
  }
  return text;
}

void PortBitmap::trim() {
  while (!words_.empty() && words_.back() == 0) words_.pop_back();
}

}  // namespace bringup
