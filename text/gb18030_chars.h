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

// A byte that is a character of its own wherever it stands: no first byte takes it as its
// second or fourth, and it starts nothing longer.
inline bool IsGbSingleAnywhere(unsigned char byte) {
  return byte <= 0x2F || (byte >= 0x3A && byte <= 0x3F) || byte == 0x7F || byte == 0xFF;
}

// A character boundary at or before `pos` (pos <= text.size()): just after the last byte
// before `pos` that is a character wherever it stands, or 0.
inline std::size_t GbBoundaryAtOrBefore(std::string_view text, std::size_t pos) {
  for (std::size_t at = pos; at > 0; --at) {
    if (IsGbSingleAnywhere(static_cast<unsigned char>(text[at - 1]))) return at;
  }
  return 0;
}

// The length of the longest prefix of `text` (which starts at a character boundary) made
// of characters that bytes after the text could not change: the last one or two
// characters, a first byte or the start of a four-byte character, may need what follows.
inline std::size_t GbWholeLength(std::string_view text) {
  const auto byte = [&](std::size_t at) { return static_cast<unsigned char>(text[at]); };
  const auto isDigit = [](unsigned char b) { return b >= 0x30 && b <= 0x39; };
  const std::size_t size = text.size();
  std::size_t pos = GbBoundaryAtOrBefore(text, size >= 4 ? size - 4 : 0);
  while (pos < size) {
    if (IsGbLeadByte(byte(pos))) {
      if (pos + 1 == size) return pos;
      if (isDigit(byte(pos + 1)) &&
          (pos + 2 == size || (IsGbLeadByte(byte(pos + 2)) && pos + 3 == size))) {
        return pos;
      }
    }
    pos += GbCharLength(text, pos);
  }
  return size;
}

}  // namespace tarnwick
