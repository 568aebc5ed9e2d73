#pragma once
// Stepping through the program's GB18030 text one character at a time. A character is
// one byte below 0x80, a lead byte 0x81..0xFE with a trail byte 0x40..0x7E or
// 0x80..0xFE, or a four-byte sequence lead, digit, lead, digit. Any other byte (0x80,
// 0xFF, a lead byte without a valid continuation) counts as a character of its own, so
// a walk over damaged text still moves forward and never runs past the end.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace tarnwick {

inline bool IsGbLeadByte(unsigned char byte) { return byte >= 0x81 && byte <= 0xFE; }

// Length in bytes (1, 2 or 4) of the character that starts at pos; pos < text.size().
inline std::size_t GbCharLength(std::string_view text, std::size_t pos) {
  const auto byte = [&](std::size_t at) { return static_cast<unsigned char>(text[at]); };
  if (!IsGbLeadByte(byte(pos)) || pos + 1 >= text.size()) return 1;
  const unsigned char second = byte(pos + 1);
  if ((second >= 0x40 && second <= 0x7E) || (second >= 0x80 && second <= 0xFE)) return 2;
  if (second >= 0x30 && second <= 0x39 && pos + 3 < text.size() && IsGbLeadByte(byte(pos + 2)) &&
      byte(pos + 3) >= 0x30 && byte(pos + 3) <= 0x39) {
    return 4;
  }
  return 1;
}

// From boundary, a character boundary, walks forward to the first character boundary at
// or after target (or to text.size()). Runs of ASCII are skipped eight bytes at a time:
// at a boundary every byte below 0x80 is a whole character.
inline std::size_t GbBoundaryAtOrAfter(std::string_view text, std::size_t boundary,
                                       std::size_t target) {
  constexpr std::uint64_t kHighBits = 0x8080808080808080ULL;
  while (boundary < target && boundary < text.size()) {
    if (boundary + 8 <= target && boundary + 8 <= text.size()) {
      std::uint64_t word;
      std::memcpy(&word, text.data() + boundary, sizeof word);
      if ((word & kHighBits) == 0) {
        boundary += 8;
        continue;
      }
    }
    boundary += GbCharLength(text, boundary);
  }
  return boundary;
}

}  // namespace tarnwick
