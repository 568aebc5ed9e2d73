#pragma once
// "|"-separated alternatives: the split shared with the folder walk's name patterns, and
// the literal search of the Default match mode.

#include <string>
#include <string_view>
#include <vector>

#include "match/byte_counts.h"
#include "match/content_search.h"
#include "match/literal_search.h"
#include "text/text_form.h"

namespace tarnwick {

// Splits at "|" as the walk and FindAnyAlternative do: the empty text gives no pieces,
// a trailing "|" gives no empty last piece, other empty pieces remain, nothing is
// trimmed. In GB18030 form a "|" trail byte of a double-byte character is not a
// separator; in UTF-8 (the form of 编辑框过滤) every "|" byte is one. The views point
// into pattern.
std::vector<std::string_view> SplitAlternatives(std::string_view pattern,
                                                TextForm form = TextForm::Utf8);

// Default mode: the "|"-separated pieces of `pattern` searched literally in a text that
// arrives in pieces, ASCII letter case ignored, stepping through characters (never
// matching across a double-byte character), matches across pieces found. An empty
// pattern is found in every text; an empty piece («a||b») in every text but the empty
// one.
class AlternativesSearch final : public ContentSearch {
 public:
  // The pattern in the program's GB18030 text; split again only when it changed.
  void SetPattern(std::string_view pattern);

  // In Utf8 form the pieces are searched in their UTF-8 form: they occur in valid UTF-8
  // exactly where they occur in the GB18030 text it converts to.
  void Begin(TextForm form) override;
  bool Take(std::string_view piece) override;
  void End() override {}
  bool TakesUtf8() const override { return utf8Forms_; }
  // ASCII pieces not found in the bytes are not found in any reading of them: in the
  // raw reading they could only occur where they occur in the bytes.
  bool MayHoldForEveryReading() const override { return allAscii_; }
  bool HoldsForEveryReading() const override { return allAscii_ && !found_; }
  bool Found() const override { return found_; }
  bool KnownWithoutText() const override { return pieces_.empty(); }

 private:
  void KeepTail(std::string_view piece);

  std::string pattern_;
  bool split_ = false;
  std::vector<LiteralNeedle> gbNeedles_;
  std::vector<LiteralNeedle> utf8Needles_;
  std::vector<std::string_view> pieces_;
  bool hasEmptyPiece_ = false;
  bool utf8Forms_ = false;  // every piece converts to UTF-8 and back unchanged
  bool allAscii_ = false;
  std::size_t longest_ = 0;

  std::vector<LiteralNeedle>* needles_ = &gbNeedles_;
  TextForm form_ = TextForm::Gb18030;
  bool found_ = false;
  ByteCounts counts_;
  std::string tail_;      // the end of the text so far, from a character boundary
  std::string junction_;  // the tail and the start of the next piece
};

// Default mode on a whole text (in `form`: GB18030, or valid UTF-8).
bool FindAnyAlternative(std::string_view text, std::string_view pattern,
                        TextForm form = TextForm::Gb18030);

}  // namespace tarnwick
