#include "match/utf8_repair.h"

#include <cstdint>
#include <cstring>

#include "text/path_display.h"

namespace tarnwick {
namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

// Length of the well-formed sequence at pos, or 0 when it is ill-formed; in that case
// *badLength is the length of its maximal ill-formed prefix (at least 1).
std::size_t SequenceLength(std::string_view text, std::size_t pos, std::size_t* badLength) {
  const auto byte = [&](std::size_t at) { return static_cast<unsigned char>(text[at]); };
  const unsigned char lead = byte(pos);
  *badLength = 1;
  if (lead < 0x80) return 1;
  std::size_t length = 0;
  unsigned char low = 0x80;  // bounds of the second byte
  unsigned char high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;   // no overlong forms
    if (lead == 0xED) high = 0x9F;  // no surrogates
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;   // no overlong forms
    if (lead == 0xF4) high = 0x8F;  // nothing above U+10FFFF
  } else {
    return 0;
  }
  for (std::size_t i = 1; i < length; ++i) {
    if (pos + i >= text.size()) return 0;
    const unsigned char next = byte(pos + i);
    const bool inRange = i == 1 ? next >= low && next <= high : next >= 0x80 && next <= 0xBF;
    if (!inRange) return 0;
    *badLength = i + 1;
  }
  return length;
}

}  // namespace

bool IsValidUtf8(std::string_view text) {
  constexpr std::uint64_t kHighBits = 0x8080808080808080ULL;
  std::size_t pos = 0;
  std::size_t badLength = 0;
  while (pos < text.size()) {
    if (pos + 8 <= text.size()) {
      std::uint64_t word;
      std::memcpy(&word, text.data() + pos, sizeof word);
      if ((word & kHighBits) == 0) {
        pos += 8;
        continue;
      }
    }
    const std::size_t length = SequenceLength(text, pos, &badLength);
    if (length == 0) return false;
    pos += length;
  }
  return true;
}

std::string RepairUtf8(std::string_view text) {
  std::string repaired;
  repaired.reserve(text.size() + 8);
  std::size_t pos = 0;
  std::size_t badLength = 0;
  while (pos < text.size()) {
    const std::size_t length = SequenceLength(text, pos, &badLength);
    if (length == 0) {
      repaired += kReplacement;
      pos += badLength;
      continue;
    }
    repaired.append(text.substr(pos, length));
    pos += length;
  }
  return repaired;
}

std::string_view NameForMatching(std::string_view text, std::string& storage) {
  if (IsValidUtf8(text)) return text;
  storage = PathDisplayUtf8(text);
  return storage;
}

}  // namespace tarnwick
