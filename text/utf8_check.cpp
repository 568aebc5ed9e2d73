#include "text/utf8_check.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "platform/iconv_converter.h"
#include "text/bit_count.h"
#include "text/cpu_features.h"
#include "text/gb18030_tables.h"

namespace tarnwick {
namespace {

bool IsContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// The length of the sequence a lead byte starts; 0 for a byte no sequence starts with.
std::size_t SequenceLength(unsigned char lead) {
  if (lead >= 0xC2 && lead <= 0xDF) return 2;
  if (lead >= 0xE0 && lead <= 0xEF) return 3;
  if (lead >= 0xF0 && lead <= 0xF4) return 4;
  return 0;
}

// For each code point of the Basic Multilingual Plane, the length of its GB18030 form
// (2 or 4), or 0 where the table conversion does not cover it (ASCII, surrogate halves,
// characters iconv refuses alone). One byte each, so the hot part stays in the cache.
const unsigned char* GbLengths() {
  static const std::unique_ptr<unsigned char[]> lengths = [] {
    const std::uint32_t* table = Gb18030FromBmpTable();
    auto built = std::make_unique<unsigned char[]>(0x10000);
    for (std::uint32_t codePoint = 0; codePoint < 0x10000; ++codePoint) {
      const std::uint32_t code = table[codePoint];
      built[codePoint] = code == 0 ? 0 : code > 0xFFFF ? 4 : 2;
    }
    return built;
  }();
  return lengths.get();
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
std::size_t ConvertedLength(const unsigned char* lengths, const unsigned char* bytes,
                            std::size_t length) {
  for (std::size_t i = 1; i < length; ++i) {
    if (!IsContinuation(bytes[i])) return 0;
  }
  const unsigned char lead = bytes[0];
  std::size_t converted = 0;
  if (length == 2) {
    converted = lengths[((lead & 0x1Fu) << 6) | (bytes[1] & 0x3Fu)];
  } else if (length == 3) {
    // No overlong forms, no UTF-16 surrogate halves.
    if ((lead == 0xE0 && bytes[1] < 0xA0) || (lead == 0xED && bytes[1] >= 0xA0)) return 0;
    converted = lengths[((lead & 0x0Fu) << 12) | ((bytes[1] & 0x3Fu) << 6) | (bytes[2] & 0x3Fu)];
  } else if ((lead == 0xF0 && bytes[1] < 0x90) || (lead == 0xF4 && bytes[1] >= 0x90)) {
    return 0;  // overlong, or above U+10FFFF
  }
  return converted != 0 ? converted : IconvLength(bytes, length);
}

#if defined(TARNWICK_AVX2_VARIANTS)
// Skips 128-byte blocks of ASCII in which no byte needs noting: none of 0x00 and 0x1A
// unless `stopsNoted`, no «<» unless `anglesNoted`. Returns where it stopped.
__attribute__((target("avx2"))) std::size_t SkipAsciiWide(const unsigned char* data, std::size_t i,
                                                          std::size_t size, bool stopsNoted,
                                                          bool anglesNoted) {
  const __m256i zero = _mm256_setzero_si256();
  const __m256i sub = _mm256_set1_epi8(0x1A);
  const __m256i angle = _mm256_set1_epi8('<');
  const __m256i stopMask = stopsNoted ? _mm256_setzero_si256() : _mm256_set1_epi8(-1);
  const __m256i angleMask = anglesNoted ? _mm256_setzero_si256() : _mm256_set1_epi8(-1);
  for (; i + 128 <= size; i += 128) {
    __m256i high = _mm256_setzero_si256();
    __m256i noted = _mm256_setzero_si256();
    for (std::size_t offset = 0; offset < 128; offset += 32) {
      const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(data + i + offset));
      high = _mm256_or_si256(high, v);
      const __m256i stops = _mm256_or_si256(_mm256_cmpeq_epi8(v, zero), _mm256_cmpeq_epi8(v, sub));
      noted = _mm256_or_si256(noted, _mm256_and_si256(stops, stopMask));
      noted = _mm256_or_si256(noted, _mm256_and_si256(_mm256_cmpeq_epi8(v, angle), angleMask));
    }
    if (_mm256_movemask_epi8(_mm256_or_si256(high, noted)) != 0) break;
  }
  return i;
}
#endif

}  // namespace

void Utf8Check::MarkZero(std::size_t at) {
  zeroSeen_ = true;
  textEnd_ = at;
}

void Utf8Check::Note(unsigned char byte, std::size_t at) {
  if (byte == 0x00 || byte == 0x1A) stopByte_ = true;
  if (byte == '<') openAngle_ = true;
  if (byte == 0x00 && !zeroSeen_) MarkZero(at);
}

// Sixteen bytes at a time, as long as they are ASCII and three-byte characters: the bulk
// of the text in the archives the program is made for. The Chinese ideographs
// U+4E00..U+9F7F (each two GB18030 bytes, so one byte shorter) are counted by masks, other
// three-byte characters looked up. Notes the bytes Note would, and leaves to the
// character loop a block that holds anything else, or a zero that ends the text.
// Returns where it stopped, always at a character boundary.
std::size_t Utf8Check::Blocks(const unsigned char* data, std::size_t i, std::size_t size,
                              std::int64_t* adjustment) {
#if defined(TARNWICK_AVX2_VARIANTS)
  // Long ASCII runs (and the zeros of a sparse file, once a zero has been seen) pass
  // without a look at each block.
  if (HasAvx2()) i = SkipAsciiWide(data, i, size, zeroSeen_ && stopByte_, openAngle_);
#endif
#if defined(__SSE2__)
  const unsigned char* lengths = GbLengths();
  const __m128i zero = _mm_setzero_si128();
  const __m128i sub = _mm_set1_epi8(0x1A);
  const __m128i angle = _mm_set1_epi8('<');
  const __m128i highTwo = _mm_set1_epi8(static_cast<char>(0xC0));
  const __m128i highThree = _mm_set1_epi8(static_cast<char>(0xF0));
  const __m128i continuation = _mm_set1_epi8(static_cast<char>(0x80));
  const __m128i leadOfThree = _mm_set1_epi8(static_cast<char>(0xE0));
  const __m128i firstLead = _mm_set1_epi8(static_cast<char>(0xE4));
  const __m128i leadSpan = _mm_set1_epi8(5);  // E4..E9
  const __m128i lastLead = _mm_set1_epi8(static_cast<char>(0xE9));
  const __m128i lowestSecond = _mm_set1_epi8(static_cast<char>(0xB8));   // after E4
  const __m128i highestSecond = _mm_set1_epi8(static_cast<char>(0xBD));  // after E9
  while (i + 16 <= size) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i));
    const __m128i isZero = _mm_cmpeq_epi8(v, zero);
    const __m128i isAngle = _mm_cmpeq_epi8(v, angle);
    const int special =
        _mm_movemask_epi8(_mm_or_si128(_mm_or_si128(isZero, isAngle), _mm_cmpeq_epi8(v, sub)));
    if (special != 0) {
      const int zeros = _mm_movemask_epi8(isZero);
      if (zeros != 0 && !zeroSeen_) return i;
      const int angles = _mm_movemask_epi8(isAngle);
      stopByte_ = stopByte_ || (special & ~angles) != 0;
      openAngle_ = openAngle_ || angles != 0;
    }
    const int high = _mm_movemask_epi8(v);
    if (high == 0) {
      i += 16;
      continue;
    }
    const __m128i isLead = _mm_cmpeq_epi8(_mm_and_si128(v, highThree), leadOfThree);
    const int leads = _mm_movemask_epi8(isLead);
    const int continuations =
        _mm_movemask_epi8(_mm_cmpeq_epi8(_mm_and_si128(v, highTwo), continuation));
    if ((high & ~leads & ~continuations) != 0) return i;  // other sequences, bad bytes
    // A character that runs past the block is left for the next one.
    int cut = 16;
    if (leads & 0xC000) cut = __builtin_ctz(static_cast<unsigned>(leads & 0xC000));
    const int inBlock = (1 << cut) - 1;
    const int whole = leads & inBlock;
    const int expected = (whole << 1) | (whole << 2);
    if ((expected & ~inBlock) != 0 || (continuations & inBlock) != expected) return i;
    // Ideographs: leads E4..E9, after E4 a second byte from B8 on, after E9 one up to
    // BD. Other three-byte characters (punctuation, say) are looked up one by one.
    const __m128i offset = _mm_sub_epi8(v, firstLead);
    const __m128i inSpan = _mm_cmpeq_epi8(_mm_min_epu8(offset, leadSpan), offset);
    const __m128i second = _mm_srli_si128(v, 1);
    const __m128i lowSecond = _mm_andnot_si128(
        _mm_cmpeq_epi8(_mm_max_epu8(second, lowestSecond), second), _mm_cmpeq_epi8(v, firstLead));
    const __m128i highSecond = _mm_andnot_si128(
        _mm_cmpeq_epi8(_mm_min_epu8(second, highestSecond), second), _mm_cmpeq_epi8(v, lastLead));
    const int ideographs =
        whole & _mm_movemask_epi8(_mm_andnot_si128(_mm_or_si128(lowSecond, highSecond),
                                                   _mm_and_si128(isLead, inSpan)));
    std::int64_t blockAdjustment = -BitCount16(static_cast<unsigned>(ideographs));
    for (int others = whole & ~ideographs; others != 0; others &= others - 1) {
      const unsigned char* character = data + i + __builtin_ctz(static_cast<unsigned>(others));
      // Overlong forms and surrogate halves are not characters: the loop refuses them.
      if (character[0] == 0xE0 && character[1] < 0xA0) return i;
      const unsigned char length = lengths[((character[0] & 0x0Fu) << 12) |
                                           ((character[1] & 0x3Fu) << 6) | (character[2] & 0x3Fu)];
      if (length == 0) return i;
      blockAdjustment += length - 3;
    }
    if (!zeroSeen_) *adjustment += blockAdjustment;
    i += static_cast<std::size_t>(cut);
  }
#else
  (void)data;
  (void)size;
  (void)adjustment;
#endif
  return i;
}

void Utf8Check::TakeAscii(std::uint64_t length, std::uint64_t zeroAt) {
  if (!zeroSeen_) textLength_ += std::min(length, zeroAt);
  if (zeroAt < length) zeroSeen_ = true;
  contentLength_ += length;
}

bool Utf8Check::Take(std::string_view piece) {
  const unsigned char* lengths = GbLengths();
  const auto* data = reinterpret_cast<const unsigned char*>(piece.data());
  const std::size_t size = piece.size();
  contentLength_ += size;
  completedSize_ = 0;
  stopByte_ = false;
  openAngle_ = false;
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
    const std::size_t converted = ConvertedLength(lengths, kept, expected_);
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
    i = Blocks(data, i, size, &adjustment);
    if (i == size) break;
    const unsigned char lead = data[i];
    if (lead < 0x80) {
      Note(lead, i);
      ++i;
      continue;
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
    const std::size_t converted = ConvertedLength(lengths, data + i, length);
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
