#pragma once
// UTF-8 bytes handed on in pieces of whole characters, whatever the pieces they arrive
// in. The bytes need not be valid: what is not a character is handed on as it comes.

#include <string>
#include <string_view>

#include "text/text_consumer.h"

namespace tarnwick {

class Utf8Pieces {
 public:
  void Reset() { kept_.clear(); }
  // Hands on to `sink` what of `text` completes characters; a character cut off at the
  // end is kept for the next call. Returns what `sink` returned last (true: its answer
  // stands).
  bool Take(std::string_view text, TextConsumer& sink);
  // The text ends: hands on the kept bytes.
  bool Finish(TextConsumer& sink);

 private:
  std::string kept_;
};

}  // namespace tarnwick
