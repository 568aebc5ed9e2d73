#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/filter_options.h"
#include "match/match_mode.h"

namespace tarnwick {
namespace {

// «中文» in UTF-8 (as typed) and in GB18030 (as the program's text holds it).
constexpr char kChineseUtf8[] = "\xE4\xB8\xAD\xE6\x96\x87";
constexpr char kChineseGb[] = "\xD6\xD0\xCE\xC4";

struct ModeCase {
  MatchMode mode;
  std::string pattern;  // UTF-8, as typed
  std::string text;     // GB18030
  bool found;
};

TEST(ContentMatcher, FindsThePatternInEachMode) {
  const std::vector<ModeCase> cases = {
      {MatchMode::Default, "ABC", "xabcx", true},
      {MatchMode::Wildcard, "ABC", "xabcx", true},
      {MatchMode::Regex, "ABC", "xabcx", true},
      {MatchMode::Default, kChineseUtf8, std::string("x") + kChineseGb, true},
      {MatchMode::Wildcard, kChineseUtf8, std::string("x") + kChineseGb, true},
      {MatchMode::Regex, kChineseUtf8, std::string("x") + kChineseGb, true},
      {MatchMode::Default, "*.txt", "a.txt", false},
      {MatchMode::Default, "*.txt", "see *.TXT", true},
      {MatchMode::Default, "", "", true},
      {MatchMode::Wildcard, "a?c", "ac", true},
      {MatchMode::Wildcard, "*", "", true},
      {MatchMode::Wildcard, "(1)", "a(1)", true},
      {MatchMode::Wildcard, "(1)", "a1", false},
      {MatchMode::Wildcard, "x|y", "y", true},
      {MatchMode::Wildcard, "a*b", "a\r\nb", false},
      {MatchMode::Regex, "^b", "a\r\nb", true},
      {MatchMode::Regex, "a(", "a(", false},
      {MatchMode::Regex, "", "", true},
      {MatchMode::Regex, "\xE6\x96\x87$", std::string(kChineseGb) + "\r\n", true},
  };
  for (const ModeCase& c : cases) {
    FilterOptions options;
    options.SetText(Field::ContentPattern, c.pattern);
    options.SetMatchModeIndex(static_cast<int>(c.mode));
    ContentMatcher matcher;
    matcher.Build(options);
    EXPECT_EQ(matcher.Found(options, c.text), c.found)
        << "mode " << static_cast<int>(c.mode) << " pattern «" << c.pattern << "» text «" << c.text
        << "»";
  }
}

TEST(ContentMatcher, ReadsModeAndDefaultPatternAtEachTest) {
  FilterOptions options;
  options.SetText(Field::ContentPattern, "a.c");
  ContentMatcher matcher;
  matcher.Build(options);
  EXPECT_FALSE(matcher.Found(options, "abc"));
  options.SetMatchModeIndex(static_cast<int>(MatchMode::Regex));
  EXPECT_TRUE(matcher.Found(options, "abc"));
  // A new pattern: Default mode sees it at once, the compiled modes at the next Build.
  options.SetText(Field::ContentPattern, kChineseUtf8);
  EXPECT_TRUE(matcher.Found(options, "abc"));
  options.SetMatchModeIndex(static_cast<int>(MatchMode::Default));
  EXPECT_TRUE(matcher.Found(options, kChineseGb));
  EXPECT_FALSE(matcher.Found(options, "abc"));
  options.SetMatchModeIndex(static_cast<int>(MatchMode::Wildcard));
  EXPECT_TRUE(matcher.Found(options, "a.c"));
  matcher.Build(options);
  EXPECT_FALSE(matcher.Found(options, "a.c"));
  EXPECT_TRUE(matcher.Found(options, kChineseGb));
}

TEST(ContentMatcher, RebuildWithAnEmptyPatternFindsEveryText) {
  FilterOptions options;
  options.SetMatchModeIndex(static_cast<int>(MatchMode::Regex));
  options.SetText(Field::ContentPattern, "abc");
  ContentMatcher matcher;
  matcher.Build(options);
  EXPECT_FALSE(matcher.Found(options, "xyz"));
  options.SetText(Field::ContentPattern, "");
  matcher.Build(options);
  EXPECT_TRUE(matcher.Found(options, "xyz"));
  options.SetMatchModeIndex(static_cast<int>(MatchMode::Wildcard));
  EXPECT_TRUE(matcher.Found(options, "xyz"));
}

TEST(ContentMatcher, CompiledModesFindNothingBeforeTheFirstBuild) {
  FilterOptions options;
  options.SetText(Field::ContentPattern, "a");
  ContentMatcher matcher;
  options.SetMatchModeIndex(static_cast<int>(MatchMode::Regex));
  EXPECT_FALSE(matcher.Found(options, "a"));
  options.SetMatchModeIndex(static_cast<int>(MatchMode::Default));
  EXPECT_TRUE(matcher.Found(options, "a"));
}

}  // namespace
}  // namespace tarnwick
