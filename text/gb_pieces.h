#pragma once
// Text in the program's GB18030 form handed on in pieces of whole characters, whatever
// the pieces it arrives in.

#include <string>
#include <string_view>

#include "text/text_consumer.h"

namespace tarnwick {

class GbPieces {
 public:
  void Reset() { kept_.clear(); }
  // Hands on to `sink` the characters of `text` (the next bytes of the text) that are
  // complete; the bytes of a character that what follows could still lengthen are kept
  // for the next call. Returns what `sink` returned last (true: its answer stands).
  bool Take(std::string_view text, TextConsumer& sink);
  // The text ends: hands on the kept bytes as its last characters.
  bool Finish(TextConsumer& sink);

 private:
  std::string kept_;
};

}  // namespace tarnwick
