#pragma once
// How often each byte value occurs in the text a search has seen, from samples of it. A
// literal search anchors on the byte of its needle that is rarest in the text actually
// searched, which no fixed table can know: "z" is rare in English and common in pinyin.

#include <array>
#include <cstdint>
#include <string_view>

namespace tarnwick {

class ByteCounts {
 public:
  void Clear() { counts_.fill(0); }
  // Adds about 256 bytes of `text`, spread evenly over it: enough to tell common bytes
  // from rare ones, little enough to cost nothing next to the search itself.
  void Sample(std::string_view text);
  std::uint32_t Count(unsigned char byte) const { return counts_[byte]; }

 private:
  std::array<std::uint32_t, 256> counts_{};
  std::uint32_t total_ = 0;
};

}  // namespace tarnwick
