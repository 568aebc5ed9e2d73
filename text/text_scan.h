#pragma once
// Reading bytes "as text" in the program's double-byte code page: scanning from the
// start, a byte at or above 0x80 forms one character with the byte after it, whatever
// that byte is, unless it is 0x00. The text ends before the first 0x00 or 0x1A byte that
// is not such a second byte, and before a byte at or above 0x80 that is followed by 0x00
// or by nothing (a first byte cut off at the end is not kept).

#include <cstddef>
#include <string_view>

namespace tarnwick {

// The length of the text that reading `bytes` as text yields.
std::size_t ReadAsTextLength(std::string_view bytes);

// The same reading over bytes that arrive in pieces: tells, piece by piece, which bytes
// belong to the text. Finds the ends with memchr passes, not a byte-by-byte walk.
class RawTextCut {
 public:
  void Reset();

  struct Part {
    // A first byte left at the end of the last piece that this piece confirmed as text
    // (it comes before `length` bytes of the piece); 0 when there is none.
    bool confirmedLead = false;
    char lead = 0;
    std::size_t length = 0;  // bytes of the piece, from its start, that are text
  };
  // Takes the next piece of the bytes. A first byte at the very end of the piece is held
  // back (not counted in `length`) until the next piece shows what follows it. Without
  // `mayEnd` the caller knows the piece holds no 0x00 and no 0x1A, so the text cannot
  // end in it and only its last byte is looked at closely.
  Part Take(std::string_view piece, bool mayEnd = true);
  // True once the text has ended; later pieces give nothing.
  bool Ended() const { return ended_; }
  // The bytes are over: a first byte held back is not kept, and the text ends.
  void Finish() { ended_ = true; }

 private:
  bool ended_ = false;
  bool heldLead_ = false;
  char lead_ = 0;
};

}  // namespace tarnwick
