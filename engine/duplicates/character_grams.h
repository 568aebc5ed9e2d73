#pragma once
// The character n-grams of normalised GB18030 text (normalised_text.h), each given to
// a gram set as a 64-bit hash: the resemblance of two texts is the Jaccard similarity
// of their sets of grams. Characters are read as the character count reads them: a byte
// below 0x80 is one, a byte from 0x80 on leads a character of two bytes, or of four
// when the byte after it is a digit (GB18030's four-byte form); pieces may split one.
// Every gram is hashed from its characters alone, so equal text gives equal grams
// whatever the pieces.
//
// `Set` is a value type with Clear(), Add(std::uint64_t gramHash) and Finish(); the
// grams are a value type too (the tag rule of normalised_text.h copies them).

#include <array>
#include <bit>
#include <cstdint>
#include <string_view>

namespace tarnwick {

// Characters in a gram, chosen by measuring on the benchmark corpus (bench/gram_length,
// bench/README.md): shorter grams let texts that share no more than their words
// resemble each other (unrelated texts of one small vocabulary reach 64 % with 5
// characters, 41 % with 8) and make every file a candidate of many groups; longer ones
// let fewer edits take away a text's grams (a tenth of its characters edited leaves a
// Chinese text 69 % of itself with 5 characters, 61 % with 8).
inline constexpr unsigned kGramLength = 8;
inline constexpr unsigned kLongestGram = 16;

// Every bit of the input reaches every bit of the output.
inline std::uint64_t MixBits(std::uint64_t value) {
  value ^= value >> 33;
  value *= 0xFF51AFD7ED558CCDULL;
  value ^= value >> 33;
  value *= 0xC4CEB9FE1A85EC53ULL;
  value ^= value >> 33;
  return value;
}

template <typename Set>
class CharacterGrams {
 public:
  // `length` characters a gram (1 to kLongestGram).
  explicit CharacterGrams(unsigned length = kGramLength)
      : length_(length < 1 ? 1 : length > kLongestGram ? kLongestGram : length) {}

  // A text begins.
  void Start() {
    set_.Clear();
    rolling_ = 0;
    seen_ = 0;
    slot_ = 0;
    partial_ = 0;
    partialLeft_ = 0;
    partialSize_ = 0;
  }

  void Take(std::string_view piece) {
    // The state lives in locals while the piece is read: the compiler keeps them in
    // registers, where members would go back to memory at every byte.
    Rolling rolling{rolling_, seen_, slot_};
    std::uint32_t partial = partial_;
    unsigned left = partialLeft_, size = partialSize_;
    for (const char c : piece) {
      const auto byte = static_cast<std::uint8_t>(c);
      if (left == 0 && byte < 0x80) {
        AddCharacter(rolling, byte);
        continue;
      }
      if (left == 0) {
        partial = byte;
        size = 1;
        left = 1;
        continue;
      }
      // The second byte tells a four-byte character from a two-byte one.
      if (size == 1 && byte >= 0x30 && byte <= 0x39) left = 3;
      partial = partial << 8 | byte;
      ++size;
      if (--left == 0) AddCharacter(rolling, partial);
    }
    rolling_ = rolling.hash;
    seen_ = rolling.seen;
    slot_ = rolling.slot;
    partial_ = partial;
    partialLeft_ = left;
    partialSize_ = size;
  }

  // The text ends. A lead byte left without its trail is a character of its own; a text
  // shorter than a gram, but not empty, is one gram of its own.
  void Finish() {
    if (partialLeft_ > 0) {
      partialLeft_ = 0;
      Rolling rolling{rolling_, seen_, slot_};
      AddCharacter(rolling, partial_);
      rolling_ = rolling.hash;
      seen_ = rolling.seen;
      slot_ = rolling.slot;
    }
    if (seen_ > 0 && seen_ < length_) set_.Add(MixBits(rolling_ ^ (seen_ * kShortMark)));
    set_.Finish();
  }

  // Characters in the text so far.
  std::uint64_t Characters() const { return seen_; }
  Set& Grams() { return set_; }
  const Set& Grams() const { return set_; }

 private:
  static constexpr std::uint64_t kCharacterSpread = 0x9FB21C651E98DF25ULL;
  static constexpr std::uint64_t kShortMark = 0x9E3779B97F4A7C15ULL;

  struct Rolling {
    std::uint64_t hash;
    std::uint64_t seen;
    unsigned slot;
  };

  // The gram hash rolls (a cyclic polynomial): every character's spread value turns one
  // bit further at each step, the newest comes in, and the one a gram length back, turned
  // as far as the gram is long, goes out. The chain from one character to the next is a
  // turn and two exclusive ors; the multiplications stand aside from it.
  void AddCharacter(Rolling& rolling, std::uint32_t code) {
    const std::uint64_t spread = code * kCharacterSpread;
    const std::uint64_t outgoing = window_[rolling.slot];
    window_[rolling.slot] = spread;
    if (++rolling.slot == length_) rolling.slot = 0;
    rolling.hash = std::rotl(rolling.hash, 1) ^ spread;
    if (rolling.seen >= length_) rolling.hash ^= std::rotl(outgoing, static_cast<int>(length_));
    // The rolled value is linear in the characters' values; a MinHash needs the least
    // of a bin to fall on any gram alike, which takes a full mix.
    if (++rolling.seen >= length_) set_.Add(MixBits(rolling.hash));
  }

  unsigned length_;
  std::array<std::uint64_t, kLongestGram> window_{};  // the spread values of the gram
  std::uint64_t rolling_ = 0;
  std::uint64_t seen_ = 0;
  unsigned slot_ = 0;  // where the window's oldest character is
  std::uint32_t partial_ = 0;  // the bytes so far of a character cut by the piece's end
  unsigned partialLeft_ = 0;
  unsigned partialSize_ = 0;
  Set set_{};
};

}  // namespace tarnwick
