#pragma once
// The content filter's test over a file's decoded text, fed in pieces by the streamed
// loader: whether the pattern is found in the text.

#include "text/text_consumer.h"

namespace tarnwick {

class ContentSearch : public TextConsumer {
 public:
  // Whether the pattern was found in the text handed over since Begin.
  virtual bool Found() const = 0;
  // True when the answer is known before any text: the file need not be read.
  virtual bool KnownWithoutText() const { return false; }
  // True when the text could not be searched whole within the memory bound and nothing
  // was found: whether it holds the pattern is not known.
  virtual bool Undecided() const { return false; }
};

}  // namespace tarnwick
