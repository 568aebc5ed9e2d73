#include "match/content_matcher.h"

#include "match/alternatives.h"
#include "match/match_mode.h"
#include "match/wildcard_to_regex.h"
#include "text/program_text.h"

namespace tarnwick {

void ContentMatcher::Build(const OptionControls& options) {
  const std::string patternUtf8 = options.Text(Field::ContentPattern);
  const std::string patternGb = Utf8ToGb18030(patternUtf8);
  // An empty pattern would leave an object's previous pattern in force; a fresh object
  // holds the empty pattern, which is found in every text.
  if (patternGb.empty()) {
    wildcard_ = RegexObject(TextForm::Gb18030);
    regex_ = RegexObject(TextForm::Gb18030);
  }
  wildcard_.CreateEngine();
  regex_.CreateEngine();
  wildcard_.SetPattern(WildcardToRegex(patternGb, TextForm::Gb18030), true, true, false);
  regex_.SetPattern(patternGb, true, true, false);
  cachedPatternUtf8_ = patternUtf8;
  cachedPatternGb_ = patternGb;
}

bool ContentMatcher::Found(const OptionControls& options, std::string_view text) {
  switch (static_cast<MatchMode>(options.MatchModeIndex())) {
    case MatchMode::Wildcard:
      return wildcard_.MatchCount(text) >= 1;
    case MatchMode::Regex:
      return regex_.MatchCount(text) >= 1;
    case MatchMode::Default:
      break;
  }
  // Default mode (and any index the list does not hold) searches the pattern as it
  // reads now.
  return FindAnyAlternative(text, CurrentPattern(options));
}

bool ContentMatcher::SearchesUtf8Bytes(const OptionControls& options) {
  const auto mode = static_cast<MatchMode>(options.MatchModeIndex());
  if (mode == MatchMode::Wildcard || mode == MatchMode::Regex) return false;
  return IsAscii(CurrentPattern(options));
}

bool ContentMatcher::FoundInUtf8(std::string_view utf8) const {
  // An ASCII pattern reads the same in UTF-8 and GB18030.
  return FindAnyAlternative(utf8, cachedPatternGb_, TextForm::Utf8);
}

const std::string& ContentMatcher::CurrentPattern(const OptionControls& options) {
  std::string patternUtf8 = options.Text(Field::ContentPattern);
  if (patternUtf8 != cachedPatternUtf8_) {
    cachedPatternGb_ = Utf8ToGb18030(patternUtf8);
    cachedPatternUtf8_ = std::move(patternUtf8);
  }
  return cachedPatternGb_;
}

}  // namespace tarnwick
