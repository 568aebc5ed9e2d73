#pragma once
// The length filter's character measure over a file's decoded text as it streams past:
// web-page tags and white space taken out, as 选择框清除网页标签 and 选择框清除空行空格
// ask, then the characters counted. Nothing of the text is kept.

#include <cstdint>
#include <string_view>

#include "engine/filters/count_characters.h"
#include "text/text_consumer.h"

namespace tarnwick {

class CharacterMeasure final : public TextConsumer {
 public:
  // Tags go first: "< >" is a tag, while a "<>" left by taking out spaces is not.
  void Configure(bool stripTags, bool stripSpace);

  void Begin(TextForm form) override;
  bool Take(std::string_view piece) override;
  void End() override;
  std::int64_t Count() const { return counter_.Count(); }

 private:
  // A tag runs from a «<» to the nearest «>» after the character that follows it (which
  // may itself be a «>»), across line breaks. Neither byte is ever part of a double-byte
  // character, and no double-byte character holds a «>», so bytes serve. The text from
  // a «<» is counted as it comes, in case no «>» follows; the count from before the «<»
  // is restored when one does.
  enum class Tag { Outside, AfterOpen, Inside };

  bool stripTags_ = false;
  bool stripSpace_ = false;
  Tag tag_ = Tag::Outside;
  CharacterCounter counter_;
  CharacterCounter beforeTag_;
};

}  // namespace tarnwick
