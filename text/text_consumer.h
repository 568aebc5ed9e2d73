#pragma once
// The reader of a file's decoded text, which the streamed loader hands the text to in
// pieces: the content search, the character count.

#include <string_view>

#include "text/text_form.h"

namespace tarnwick {

class TextConsumer {
 public:
  virtual ~TextConsumer() = default;
  // A reading of the text starts, in `form`: Utf8 only when TakesUtf8(), for content
  // whose text converts from valid UTF-8 (then the UTF-8 bytes are handed over as they
  // are). Whatever earlier calls handed over is void: a file may be read again when its
  // reading changes (a declaration found late, bytes that turn out not to be UTF-8).
  virtual void Begin(TextForm form) = 0;
  // The next piece of the text: not empty, whole characters (the pieces joined are the
  // text). True once the answer can no longer change, whatever follows.
  virtual bool Take(std::string_view piece) = 0;
  // The text ends here.
  virtual void End() = 0;
  // Whether the text may be handed over as UTF-8.
  virtual bool TakesUtf8() const { return false; }

  // Whether the answer given so far would be the same had the bytes been read raw (as
  // text in the double-byte code page) instead of as UTF-8, so that the choice between
  // those two readings cannot change it: a search for ASCII words that found none in the
  // UTF-8 bytes finds none in the raw reading either. The loader then need not check
  // that the content is UTF-8 at all, unless the encoding is wanted.
  virtual bool HoldsForEveryReading() const { return false; }
  // Whether HoldsForEveryReading may ever be true: only then is the check put off.
  virtual bool MayHoldForEveryReading() const { return false; }
};

}  // namespace tarnwick
