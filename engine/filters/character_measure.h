#pragma once
// The length filter's character measure over a file's decoded text as it streams past:
// web-page tags and white space taken out, as 选择框清除网页标签 and 选择框清除空行空格
// ask, then the characters counted. Nothing of the text is kept.

#include <cstdint>
#include <string_view>

#include "engine/filters/count_characters.h"
#include "engine/filters/tag_strip.h"
#include "text/text_consumer.h"

namespace tarnwick {

class CharacterMeasure final : public TextConsumer {
 public:
  // Tags go first: "< >" is a tag, while a "<>" left by taking out spaces is not.
  void Configure(bool stripTags, bool stripSpace);

  void Begin(TextForm form) override;
  bool Take(std::string_view piece) override;
  void End() override;
  std::int64_t Count() const { return strip_.Output().Count(); }

 private:
  bool stripTags_ = false;
  bool stripSpace_ = false;
  // The counter takes the white space out itself, on its fast path.
  TagStrip<CharacterCounter> strip_;
};

}  // namespace tarnwick
