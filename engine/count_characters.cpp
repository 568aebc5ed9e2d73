#include "engine/count_characters.h"

#include <cstring>

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

bool IsSpace(char byte) { return byte == ' ' || (byte >= '\t' && byte <= '\r'); }

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
    if (skipSpace_ && IsSpace(byte)) continue;
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
