#include "engine/filters/count_characters.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "engine/filters/tag_strip.h"
#include "text/bit_count.h"

namespace tarnwick {
namespace {

constexpr char kCr = '\r';
constexpr char kLf = '\n';
constexpr std::uint64_t kHighBits = 0x8080808080808080ULL;
constexpr std::uint64_t kLowBits = 0x0101010101010101ULL;

bool HasByte(std::uint64_t word, unsigned char byte) {
  const std::uint64_t x = word ^ (kLowBits * byte);
  return ((x - kLowBits) & ~x & kHighBits) != 0;
}

// Sixteen ASCII bytes at a time, from `i`, while no lead waits and no CR stands among them
// (nor just before them): each is a character of its own, but for the blanks taken out
// with `skipSpace` (among them CR and LF, so line breaks need no pairing there). Adds to
// `count` and returns where it stopped.
std::size_t CountAsciiBlocks(std::string_view text, std::size_t i, bool skipSpace,
                             std::int64_t& count) {
#if defined(__SSE2__)
  const __m128i cr = _mm_set1_epi8('\r');
  const __m128i blank = _mm_set1_epi8(' ');
  const __m128i tab = _mm_set1_epi8('\t');
  const __m128i lastControl = _mm_set1_epi8(4);  // tab .. CR
  for (; i + 16 <= text.size(); i += 16) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data() + i));
    if (_mm_movemask_epi8(v) != 0) break;
    if (!skipSpace) {
      if (_mm_movemask_epi8(_mm_cmpeq_epi8(v, cr)) != 0) break;
      count += 16;
      continue;
    }
    const __m128i offset = _mm_sub_epi8(v, tab);
    const __m128i control = _mm_cmpeq_epi8(_mm_min_epu8(offset, lastControl), offset);
    const unsigned spaces =
        static_cast<unsigned>(_mm_movemask_epi8(_mm_or_si128(control, _mm_cmpeq_epi8(v, blank))));
    count += 16 - BitCount16(spaces);
  }
#else
  (void)text;
  (void)skipSpace;
  (void)count;
#endif
  return i;
}

}  // namespace

// One pass over the bytes with a marker for a pending half character. Bytes of 0x80 and
// above pair up (lead and trail); an ASCII byte after a lead is the lead's trail (as in
// GBK's 0x40..0x7E trails and GB18030's digit bytes). CR LF is taken as a pair too, so
// it counts once. A CR at the end of a piece waits for the next byte.
void CharacterCounter::Take(std::string_view text) {
  const std::size_t size = text.size();
  std::size_t i = 0;
  if (crHeldBack_ && size > 0) {
    crHeldBack_ = false;
    if (text[0] == kLf) {
      Pair();
    } else {
      ++count_;
      halfPending_ = false;
    }
    afterCr_ = true;
  }
  while (i < size) {
    if (!halfPending_ && !afterCr_) {
      i = CountAsciiBlocks(text, i, skipSpace_, count_);
      if (i == size) break;
    }
    // Eight single-byte characters at once: no lead waiting, no CR among them or just
    // before them (whatever follows a CR depends on it), no spaces to take out.
    if (!halfPending_ && !afterCr_ && i + 8 <= size) {
      std::uint64_t word;
      std::memcpy(&word, text.data() + i, sizeof word);
      if ((word & kHighBits) == 0 && !HasByte(word, kCr) &&
          (!skipSpace_ || (!HasByte(word, ' ') && !HasByte(word, '\t') && !HasByte(word, '\n') &&
                           !HasByte(word, '\v') && !HasByte(word, '\f')))) {
        count_ += 8;
        i += 8;
        continue;
      }
    }
    const char byte = text[i++];
    if (skipSpace_ && IsStrippedSpace(byte)) continue;
    if (byte == kCr) {
      if (i == size) {
        crHeldBack_ = true;
        return;
      }
      if (text[i] == kLf) {
        Pair();
      } else {
        ++count_;
        halfPending_ = false;
      }
      afterCr_ = true;
      continue;
    }
    if (byte == kLf) {
      if (!afterCr_ && !halfPending_) {
        ++count_;
      } else {
        Pair();
      }
    } else if (static_cast<unsigned char>(byte) < 0x80) {
      ++count_;
      halfPending_ = false;
    } else {
      Pair();
    }
    afterCr_ = false;
  }
}

void CharacterCounter::End() {
  if (crHeldBack_) {
    ++count_;
    halfPending_ = false;
    crHeldBack_ = false;
  }
}

std::int64_t CountCharacters(std::string_view text) {
  CharacterCounter counter;
  counter.Take(text);
  counter.End();
  return counter.Count();
}

}  // namespace tarnwick
