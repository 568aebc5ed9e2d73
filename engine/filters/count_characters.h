#pragma once
// The character count of the length filter.

#include <cstdint>
#include <string_view>

namespace tarnwick {

// Counts the characters of GB18030 text handed over in pieces: every single-byte and
// every double-byte character counts 1, a four-byte character counts 2, and every line
// break counts 1 whether it is CR LF, CR alone or LF alone. A lead byte left pending at
// the end is not counted. Any split into pieces gives the count of the whole text (a
// character or a CR LF across two pieces included). 64 bits: texts over 2 GB are
// counted right.
class CharacterCounter {
 public:
  // With `skipSpace`, space, tab, CR, LF, VT and FF are taken out of the text first.
  explicit CharacterCounter(bool skipSpace = false) : skipSpace_(skipSpace) {}

  void Take(std::string_view text);
  // The text ends: a CR held back for the byte after it counts now.
  void End();
  std::int64_t Count() const { return count_; }

 private:
  // A byte that pairs with the lead before it, or waits as a lead for its trail.
  void Pair() {
    if (halfPending_) ++count_;
    halfPending_ = !halfPending_;
  }

  bool skipSpace_;
  std::int64_t count_ = 0;
  bool halfPending_ = false;  // a lead byte waits for its trail
  bool afterCr_ = false;      // the byte before was a CR
  bool crHeldBack_ = false;   // the last byte taken is a CR whose next byte is unknown
};

// The count of a whole text.
std::int64_t CountCharacters(std::string_view text);

}  // namespace tarnwick
