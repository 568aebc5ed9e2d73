#include "match/content_matcher.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

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
    ContentMatcher matcher;
    matcher.Build(pattern);
    EXPECT_EQ(matcher.Found(mode, pattern, text), found)
        << "mode " << static_cast<int>(mode) << " «" << pattern << "» in «" << text << "»";
  }
}

TEST(ContentMatcher, DefaultModeTakesThePatternOfEachTestOtherModesThatOfBuild) {
  ContentMatcher matcher;
  EXPECT_FALSE(matcher.Found(MatchMode::Regex, "a.c", "abc"));  // not built yet
  matcher.Build("a.c");
  EXPECT_TRUE(matcher.Found(MatchMode::Regex, "a.c", "abc"));
  EXPECT_TRUE(matcher.Found(MatchMode::Regex, kWenUtf8, "abc"));
  EXPECT_TRUE(matcher.Found(MatchMode::Default, kWenUtf8, kWenGb));
  EXPECT_FALSE(matcher.Found(MatchMode::Wildcard, "", "xyz"));
  matcher.Build("");  // the empty pattern: as on a fresh matcher, found everywhere
  EXPECT_TRUE(matcher.Found(MatchMode::Wildcard, "", "xyz"));
}

}  // namespace
}  // namespace tarnwick
