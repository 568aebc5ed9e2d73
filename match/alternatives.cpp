#include "match/alternatives.h"

#include <algorithm>

#include "text/gb18030_chars.h"
#include "text/program_text.h"

namespace tarnwick {
namespace {

bool IsContinuation(char byte) { return (static_cast<unsigned char>(byte) & 0xC0) == 0x80; }

// The first character boundary at or after `target` in `text` (which starts on one).
std::size_t BoundaryAtOrAfter(std::string_view text, std::size_t target, TextForm form) {
  if (form == TextForm::Gb18030)
    return GbBoundaryAtOrAfter(text, GbBoundaryAtOrBefore(text, target), target);
  while (target < text.size() && IsContinuation(text[target])) ++target;
  return target;
}

}  // namespace

std::vector<std::string_view> SplitAlternatives(std::string_view pattern, TextForm form) {
  std::vector<std::string_view> pieces;
  std::size_t pieceStart = 0;
  std::size_t pos = 0;
  while (pos < pattern.size()) {
    if (pattern[pos] == '|') {
      pieces.push_back(pattern.substr(pieceStart, pos - pieceStart));
      pieceStart = ++pos;
      continue;
    }
    pos += form == TextForm::Gb18030 ? GbCharLength(pattern, pos) : 1;
  }
  if (pieceStart < pattern.size()) pieces.push_back(pattern.substr(pieceStart));
  return pieces;
}

void AlternativesSearch::SetPattern(std::string_view pattern) {
  if (split_ && pattern == pattern_) return;
  split_ = true;
  pattern_ = pattern;
  pieces_ = SplitAlternatives(pattern_, TextForm::Gb18030);
  gbNeedles_.clear();
  utf8Needles_.clear();
  hasEmptyPiece_ = false;
  utf8Forms_ = true;
  allAscii_ = IsAscii(pattern_);
  longest_ = 0;
  for (const std::string_view piece : pieces_) {
    if (piece.empty()) {
      hasEmptyPiece_ = true;
      continue;
    }
    const std::string utf8 = Gb18030ToUtf8(piece);
    if (Utf8ToGb18030(utf8) != piece) utf8Forms_ = false;
    gbNeedles_.emplace_back(piece, TextForm::Gb18030);
    utf8Needles_.emplace_back(utf8, TextForm::Utf8);
    longest_ = std::max({longest_, piece.size(), utf8.size()});
  }
}

void AlternativesSearch::Begin(TextForm form) {
  form_ = form;
  needles_ = form == TextForm::Utf8 ? &utf8Needles_ : &gbNeedles_;
  found_ = pieces_.empty();
  tail_.clear();
}

bool AlternativesSearch::Take(std::string_view piece) {
  if (found_ || hasEmptyPiece_) return found_ = true;
  counts_.Sample(piece);
  for (LiteralNeedle& needle : *needles_) needle.Aim(counts_);
  // Matches that run from the end of the last piece into this one: in the tail and the
  // start of this piece, starting in the tail.
  if (!tail_.empty()) {
    junction_ = tail_;
    junction_.append(piece.substr(0, longest_ + 2));
    for (const LiteralNeedle& needle : *needles_) {
      if (needle.FoundIn(junction_, tail_.size())) return found_ = true;
    }
  }
  for (const LiteralNeedle& needle : *needles_) {
    if (needle.FoundIn(piece, piece.size())) return found_ = true;
  }
  KeepTail(piece);
  return false;
}

// Keeps the end of the text where a match could start that the next piece completes:
// the last `longest_` - 1 bytes, from a character boundary (so that the junction's walk
// over characters can start there). The junction takes `longest_` + 2 bytes of the next
// piece: the rest of such a match, and three more, so that the walk sees the character
// at the end of a match whole.
void AlternativesSearch::KeepTail(std::string_view piece) {
  const std::size_t keep = longest_ - 1;
  if (keep == 0) return;
  if (piece.size() >= keep) {
    tail_.assign(piece.substr(BoundaryAtOrAfter(piece, piece.size() - keep, form_)));
    return;
  }
  tail_.append(piece);
  if (tail_.size() > keep) tail_.erase(0, BoundaryAtOrAfter(tail_, tail_.size() - keep, form_));
}

bool FindAnyAlternative(std::string_view text, std::string_view pattern, TextForm form) {
  const std::vector<std::string_view> pieces = SplitAlternatives(pattern, form);
  if (pieces.empty()) return true;
  ByteCounts counts;
  counts.Sample(text);
  for (const std::string_view piece : pieces) {
    if (piece.empty()) {
      if (!text.empty()) return true;
      continue;
    }
    LiteralNeedle needle(piece, form);
    needle.Aim(counts);
    if (needle.FoundIn(text, text.size())) return true;
  }
  return false;
}

}  // namespace tarnwick
