#include "match/content_matcher.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/filter_options.h"
#include "match/match_mode.h"

namespace tarnwick {
namespace {

// «文» typed (UTF-8) and as the program's text holds it (GB18030).
constexpr char kWenUtf8[] = "\xE6\x96\x87";
constexpr char kWenGb[] = "\xCE\xC4";

TEST(ContentMatcher, FindsTheTypedPatternInGb18030TextInEachMode) {
  const std::vector<std::tuple<MatchMode, std::string, std::string, bool>> cases = {
      // mode, pattern as typed, text, found
      {MatchMode::Default, "ABC", "xabcx", true},
      {MatchMode::Wildcard, "ABC", "xabcx", true},
      {MatchMode::Regex, "ABC", "xabcx", true},
      {MatchMode::Default, kWenUtf8, std::string("x") + kWenGb, true},
      {MatchMode::Wildcard, std::string(kWenUtf8) + "?|x", kWenGb, true},
      {MatchMode::Regex, std::string(kWenUtf8) + "$", std::string(kWenGb) + "\r\n", true},
      {MatchMode::Wildcard, "(1)", "a1", false},
      {MatchMode::Wildcard, "a*b", "a\r\nb", false},
      {MatchMode::Regex, "a(", "a(", false},
      {MatchMode::Regex, "", "", true},
  };
  for (const auto& [mode, pattern, text, found] : cases) {
    FilterOptions options;
    options.SetText(Field::ContentPattern, pattern);
    options.SetMatchModeIndex(static_cast<int>(mode));
    ContentMatcher matcher;
    matcher.Build(options);
    EXPECT_EQ(matcher.Found(options, text), found)
        << "mode " << static_cast<int>(mode) << " «" << pattern << "» in «" << text << "»";
  }
}

TEST(ContentMatcher, DefaultModeReadsThePatternLiveOtherModesAtBuild) {
  FilterOptions options;
  options.SetText(Field::ContentPattern, "a.c");
  ContentMatcher matcher;
  options.SetMatchModeIndex(static_cast<int>(MatchMode::Regex));
  EXPECT_FALSE(matcher.Found(options, "abc"));  // not built yet
  matcher.Build(options);
  EXPECT_TRUE(matcher.Found(options, "abc"));
  options.SetText(Field::ContentPattern, kWenUtf8);
  EXPECT_TRUE(matcher.Found(options, "abc"));
  options.SetMatchModeIndex(static_cast<int>(MatchMode::Default));
  EXPECT_TRUE(matcher.Found(options, kWenGb));
  options.SetText(Field::ContentPattern, "");
  options.SetMatchModeIndex(static_cast<int>(MatchMode::Wildcard));
  EXPECT_FALSE(matcher.Found(options, "xyz"));
  matcher.Build(options);  // the empty pattern: as on a fresh matcher, found everywhere
  EXPECT_TRUE(matcher.Found(options, "xyz"));
}

}  // namespace
}  // namespace tarnwick
