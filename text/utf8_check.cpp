#include "text/utf8_check.h"

#include <cstring>

#include "platform/iconv_converter.h"
#include "text/gb18030_tables.h"

namespace tarnwick {
namespace {

constexpr std::uint64_t kHighBits = 0x8080808080808080ULL;
constexpr std::uint64_t kLowBits = 0x0101010101010101ULL;

bool HasZeroByte(std::uint64_t word) { return ((word - kLowBits) & ~word & kHighBits) != 0; }

bool IsContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// The length of the sequence a lead byte starts; 0 for a byte no sequence starts with.
std::size_t SequenceLength(unsigned char lead) {
  if (lead >= 0xC2 && lead <= 0xDF) return 2;
  if (lead >= 0xE0 && lead <= 0xEF) return 3;
  if (lead >= 0xF0 && lead <= 0xF4) return 4;
  return 0;
}

// The GB18030 length of a character the table does not cover (beyond the Basic
// Multilingual Plane, or refused by iconv when converted alone); 0 when iconv refuses it.
std::size_t IconvLength(const unsigned char* bytes, std::size_t length) {
  const auto converted = platform::ConvertStrict(
      std::string_view(reinterpret_cast<const char*>(bytes), length), "UTF-8", "GB18030");
  return converted ? converted->size() : 0;
}

// The GB18030 length of the whole sequence at `bytes` (its lead byte checked already);
// 0 when it is not well-formed UTF-8 or does not convert.
std::size_t ConvertedLength(const std::uint32_t* table, const unsigned char* bytes,
                            std::size_t length) {
  for (std::size_t i = 1; i < length; ++i) {
    if (!IsContinuation(bytes[i])) return 0;
  }
  const unsigned char lead = bytes[0];
  if (length == 2) {
    const std::uint32_t code = table[((lead & 0x1Fu) << 6) | (bytes[1] & 0x3Fu)];
    return code == 0 ? IconvLength(bytes, length) : code > 0xFFFF ? 4 : 2;
  }
  if (length == 3) {
    // No overlong forms, no UTF-16 surrogate halves.
    if ((lead == 0xE0 && bytes[1] < 0xA0) || (lead == 0xED && bytes[1] >= 0xA0)) return 0;
    const std::uint32_t code =
        table[((lead & 0x0Fu) << 12) | ((bytes[1] & 0x3Fu) << 6) | (bytes[2] & 0x3Fu)];
    return code == 0 ? IconvLength(bytes, length) : code > 0xFFFF ? 4 : 2;
  }
  // Nothing overlong, nothing above U+10FFFF.
  if ((lead == 0xF0 && bytes[1] < 0x90) || (lead == 0xF4 && bytes[1] >= 0x90)) return 0;
  return IconvLength(bytes, length);
}

}  // namespace

void Utf8Check::MarkZero(std::size_t at) {
  zeroSeen_ = true;
  textEnd_ = at;
}

bool Utf8Check::Take(std::string_view piece) {
  const std::uint32_t* table = Gb18030FromBmpTable();
  const auto* data = reinterpret_cast<const unsigned char*>(piece.data());
  const std::size_t size = piece.size();
  contentLength_ += size;
  completedSize_ = 0;
  const bool textOver = zeroSeen_;
  std::size_t i = 0;
  if (keptSize_ > 0) {
    while (keptSize_ < expected_ && i < size) {
      if (!IsContinuation(data[i])) return Fail();
      kept_[keptSize_++] = static_cast<char>(data[i++]);
    }
    if (keptSize_ < expected_) {
      textBegin_ = textEnd_ = size;
      return true;
    }
    const auto* kept = reinterpret_cast<const unsigned char*>(kept_);
    const std::size_t converted = ConvertedLength(table, kept, expected_);
    if (converted == 0) return Fail();
    keptSize_ = 0;
    if (!textOver) {
      std::memcpy(completed_, kept_, expected_);
      completedSize_ = expected_;
      textLength_ += converted;
    }
  }
  textBegin_ = i;
  textEnd_ = size;
  // The text grows by the bytes from TextBegin() to TextEnd(), each character adjusted
  // by the difference between its GB18030 and its UTF-8 length.
  std::int64_t adjustment = 0;
  while (i < size) {
    if (i + 16 <= size) {
      std::uint64_t words[2];
      std::memcpy(words, data + i, sizeof words);
      if (((words[0] | words[1]) & kHighBits) == 0) {
        if (!zeroSeen_ && (HasZeroByte(words[0]) || HasZeroByte(words[1]))) {
          MarkZero(i + static_cast<std::size_t>(
                           static_cast<const unsigned char*>(std::memchr(data + i, 0, 16)) -
                           (data + i)));
        }
        i += 16;
        continue;
      }
    }
    const unsigned char lead = data[i];
    if (lead < 0x80) {
      if (lead == 0 && !zeroSeen_) MarkZero(i);
      ++i;
      continue;
    }
    // Most Chinese text is three-byte characters whose lead has no overlong or surrogate
    // forms; they are checked here without the general reader.
    if (lead >= 0xE1 && lead <= 0xEF && lead != 0xED && i + 2 < size &&
        IsContinuation(data[i + 1]) && IsContinuation(data[i + 2])) {
      const std::uint32_t code =
          table[((lead & 0x0Fu) << 12) | ((data[i + 1] & 0x3Fu) << 6) | (data[i + 2] & 0x3Fu)];
      if (code != 0) {
        if (!zeroSeen_) adjustment += code > 0xFFFF ? 1 : -1;
        i += 3;
        continue;
      }
    }
    const std::size_t length = SequenceLength(lead);
    if (length == 0) return Fail();
    if (i + length > size) {
      // A character cut off by the end of the piece: kept until the next one completes it.
      for (std::size_t j = i + 1; j < size; ++j) {
        if (!IsContinuation(data[j])) return Fail();
      }
      std::memcpy(kept_, data + i, size - i);
      keptSize_ = size - i;
      expected_ = length;
      if (!zeroSeen_) textEnd_ = i;
      break;
    }
    const std::size_t converted = ConvertedLength(table, data + i, length);
    if (converted == 0) return Fail();
    if (!zeroSeen_) {
      adjustment += static_cast<std::int64_t>(converted) - static_cast<std::int64_t>(length);
    }
    i += length;
  }
  if (textOver) {
    textBegin_ = textEnd_ = size;
    return true;
  }
  textLength_ += textEnd_ - textBegin_;
  textLength_ = static_cast<std::uint64_t>(static_cast<std::int64_t>(textLength_) + adjustment);
  return true;
}

}  // namespace tarnwick
