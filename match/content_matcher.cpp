#include "match/content_matcher.h"

#include "match/wildcard_to_regex.h"
#include "text/program_text.h"

namespace tarnwick {

ContentMatcher::ContentMatcher() { alternatives_.SetPattern({}); }

void ContentMatcher::Build(std::string_view pattern) {
  if (built_ && pattern == builtPattern_) return;
  built_ = true;
  builtPattern_ = pattern;
  const std::string patternGb = BytesAsProgramText(pattern);
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
}

AlternativesSearch& ContentMatcher::Alternatives(std::string_view defaultPattern) {
  if (defaultPattern != defaultPatternUtf8_) {
    defaultPatternUtf8_ = defaultPattern;
    defaultPatternGb_ = BytesAsProgramText(defaultPattern);
  }
  alternatives_.SetPattern(defaultPatternGb_);
  return alternatives_;
}

bool ContentMatcher::Found(MatchMode mode, std::string_view defaultPattern, std::string_view text) {
  switch (mode) {
    case MatchMode::Wildcard:
      return wildcard_.MatchCount(text) >= 1;
    case MatchMode::Regex:
      return regex_.MatchCount(text) >= 1;
    case MatchMode::Default:
      break;
  }
  AlternativesSearch& search = Alternatives(defaultPattern);
  search.Begin(TextForm::Gb18030);
  if (!text.empty()) search.Take(text);
  return search.Found();
}

ContentSearch& ContentMatcher::Search(MatchMode mode, std::string_view defaultPattern) {
  switch (mode) {
    case MatchMode::Wildcard:
      return wildcardSearch_;
    case MatchMode::Regex:
      return regexSearch_;
    case MatchMode::Default:
      break;
  }
  return Alternatives(defaultPattern);
}

}  // namespace tarnwick
