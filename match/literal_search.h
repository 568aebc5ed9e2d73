#pragma once
// One literal piece of a Default-mode pattern searched in text, character by character in
// meaning but fast in fact: a vector scan looks for places where the piece's two bytes
// rarest in the text searched both stand at their offsets (either case of a letter), and
// checks each such place. Nothing of the text is copied or folded.

#include <cstddef>
#include <string>
#include <string_view>

#include "match/byte_counts.h"
#include "text/text_form.h"

namespace tarnwick {

class LiteralNeedle {
 public:
  // `needle` (not empty) is whole characters of `form`.
  LiteralNeedle(std::string_view needle, TextForm form);

  std::size_t size() const { return needle_.size(); }
  const std::string& bytes() const { return needle_; }
  // Chooses the bytes the scan looks for: the two `counts` shows least often.
  void Aim(const ByteCounts& counts);

  // True when the needle occurs in `text` (which starts on a character boundary) at a
  // place before `startsBefore`: its ASCII letters in either case, every other byte
  // exactly, and in GB18030 form starting and ending on character boundaries, its
  // multi-byte characters the text's exactly (a trail byte never matches a letter of
  // another case). In UTF-8 form every place where the bytes occur is such a place.
  bool FoundIn(std::string_view text, std::size_t startsBefore) const;

 private:
  // A byte of the needle the scan compares, at its offset, in both cases of a letter.
  struct Anchor {
    std::size_t offset = 0;
    char lower = 0;
    char upper = 0;
  };

  std::string needle_;
  std::string folded_;  // ASCII letters lower-cased
  TextForm form_;
  Anchor rare_;    // the rarest byte
  Anchor second_;  // the next rarest (the same as rare_ for a one-byte needle)
};

}  // namespace tarnwick
