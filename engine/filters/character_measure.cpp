#include "engine/filters/character_measure.h"

#include <cstring>

namespace tarnwick {

void CharacterMeasure::Configure(bool stripTags, bool stripSpace) {
  stripTags_ = stripTags;
  stripSpace_ = stripSpace;
}

void CharacterMeasure::Begin(TextForm) {
  tag_ = Tag::Outside;
  counter_ = CharacterCounter(stripSpace_);
}

bool CharacterMeasure::Take(std::string_view piece) {
  if (!stripTags_) {
    counter_.Take(piece);
    return false;
  }
  while (!piece.empty()) {
    if (tag_ == Tag::AfterOpen) {
      counter_.Take(piece.substr(0, 1));
      piece.remove_prefix(1);
      tag_ = Tag::Inside;
      continue;
    }
    const char wanted = tag_ == Tag::Outside ? '<' : '>';
    const void* found = std::memchr(piece.data(), wanted, piece.size());
    if (found == nullptr) {
      counter_.Take(piece);
      return false;
    }
    const auto at = static_cast<std::size_t>(static_cast<const char*>(found) - piece.data());
    if (tag_ == Tag::Outside) {
      counter_.Take(piece.substr(0, at));
      beforeTag_ = counter_;
      counter_.Take(piece.substr(at, 1));
      tag_ = Tag::AfterOpen;
    } else {
      counter_ = beforeTag_;
      tag_ = Tag::Outside;
    }
    piece.remove_prefix(at + 1);
  }
  return false;
}

void CharacterMeasure::End() { counter_.End(); }

}  // namespace tarnwick
