#include "engine/filters/character_measure.h"

namespace tarnwick {

void CharacterMeasure::Configure(bool stripTags, bool stripSpace) {
  stripTags_ = stripTags;
  stripSpace_ = stripSpace;
}

void CharacterMeasure::Begin(TextForm) { strip_.Reset(CharacterCounter(stripSpace_)); }

bool CharacterMeasure::Take(std::string_view piece) {
  if (stripTags_) {
    strip_.Take(piece);
  } else {
    strip_.Output().Take(piece);
  }
  return false;
}

void CharacterMeasure::End() { strip_.Output().End(); }

}  // namespace tarnwick
