#include "match/regex_object.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

namespace tarnwick {
namespace {

using std::string_literals::operator""s;

RegexObject Engine(std::string_view pattern, TextForm form = TextForm::Utf8, bool ignoreCase = true,
                   bool multiline = true, bool global = true) {
  RegexObject regex(form);
  regex.CreateEngine();
  regex.SetPattern(pattern, ignoreCase, multiline, global);
  return regex;
}

TEST(RegexObject, CountsMatchesWithTheGivenFlags) {
  struct Case {
    std::string pattern;
    bool ignoreCase, multiline, global;
    std::string text;
    int count;
  };
  const std::vector<Case> cases = {
      {"a", true, true, false, "aXa", 1},
      {"x", true, true, true, "aXa", 1},
      {"x", false, true, true, "aXa", 0},
      {"^b", true, true, true, "a\nb", 1},
      {"^b", true, false, true, "a\nb", 0},
      {"a$", true, true, true, "a\r\nba", 2},  // CR LF ends a line
      {"a$", true, false, true, "a\n", 0},     // «$» is the end of the text only
      {"a.c", true, true, true, "a\nc a\rc abc", 1},
      {"[^]", true, true, true, "a\n", 2},
      {"\\u4E2D", true, true, true, "\xE4\xB8\xAD", 1},
      {"\xC3\xA4", true, true, true, "\xC3\x84", 1},            // ä finds Ä
      {"\\w", true, true, true, "\xE4\xB8\xAD", 0},             // «\w» is ASCII
      {"", true, true, true, "ab", 3},                          // the empty pattern, everywhere
      {"a*", true, true, true, "baaa", 3},                      // "" "aaa" ""
      {".?", true, true, true, "\xE4\xB8\xAD\xE6\x96\x87", 3},  // whole characters
  };
  for (const Case& c : cases) {
    RegexObject regex = Engine(c.pattern, TextForm::Utf8, c.ignoreCase, c.multiline, c.global);
    EXPECT_EQ(regex.MatchCount(c.text), c.count) << "«" << c.pattern << "» in «" << c.text << "»";
  }
}

TEST(RegexObject, ReplaceAllStripsTagsAndTheSixAsciiSpaces) {
  RegexObject tags = Engine("<[\\s\\S]+?>");
  EXPECT_EQ(tags.ReplaceAll("a <b>bold</b> text", ""), "a bold text");
  EXPECT_EQ(tags.ReplaceAll("x<a\nhref='y'>z<>w", ""), "xz<>w");
  RegexObject space = Engine("\\s");
  EXPECT_EQ(space.ReplaceAll("a b\tc\nd\re\vf\fg", ""), "abcdefg");
  // No-break and full-width spaces are characters of the text, in both forms.
  EXPECT_EQ(space.ReplaceAll("a\xC2\xA0 b\xE3\x80\x80", ""), "a\xC2\xA0"s + "b\xE3\x80\x80");
  RegexObject gb = Engine("\\s", TextForm::Gb18030);
  EXPECT_EQ(gb.ReplaceAll("\xD6\xD0 \xA1\xA1\r\n\xCE\xC4", ""), "\xD6\xD0\xA1\xA1\xCE\xC4");
  RegexObject first = Engine("o", TextForm::Utf8, true, true, false);
  EXPECT_EQ(first.ReplaceAll("foo", "$1"), "f$1o");
}

TEST(RegexObject, Gb18030TextIsMatchedByCharacterAndComesBackInItsForm) {
  // 中 D6 D0, 文 CE C4; 丄 81 41 has the trail byte «A».
  RegexObject regex = Engine("\xCE\xC4|a", TextForm::Gb18030);
  EXPECT_EQ(regex.MatchCount("\xD6\xD0\xCE\xC4"), 1);
  EXPECT_EQ(regex.MatchCount("\x81\x41"), 0);
  EXPECT_EQ(regex.ReplaceAll("\xD6\xD0\xCE\xC4"s + "A", "\xD6\xD0"), "\xD6\xD0\xD6\xD0\xD6\xD0");
  EXPECT_EQ(Engine("^.$", TextForm::Gb18030).MatchCount("\x94\x39\xFC\x36"), 1);
}

TEST(RegexObject, BytesThatAreNotUtf8AreOneCharacterEach) {
  RegexObject regex = Engine(".*\\.txt");
  EXPECT_EQ(regex.MatchCount("b\xFF"s + "a.TXT"), 1);
  EXPECT_EQ(regex.MatchCount("\xFF.doc"), 0);
  EXPECT_EQ(Engine("a.?b").MatchCount("a\xE4\xB8"s + "b"),
            1);  // a cut-off sequence
  RegexObject dot = Engine(".");
  EXPECT_EQ(dot.MatchCount("a\xED\xA0\x80"s + "b"),
            5);  // a surrogate is three bad bytes
  EXPECT_EQ(dot.ReplaceAll("a\xC0"s + "b", "-"), "---");
}

TEST(RegexObject, EmptyPatternOnlyChangesFlagsAndRejectedPatternsMatchNothing) {
  RegexObject regex = Engine("abc");
  regex.SetPattern("", false, true, true);
  EXPECT_EQ(regex.MatchCount("abc ABC"), 1);  // still «abc», now case-sensitive
  regex.SetPattern("", true, true, false);
  EXPECT_EQ(regex.MatchCount("abc ABC"), 1);  // Global off
  regex.SetPattern("(");
  EXPECT_EQ(regex.MatchCount("("), 0);
  EXPECT_EQ(regex.ReplaceAll("a(a", ""), "");
  regex.SetPattern("c");
  EXPECT_EQ(regex.MatchCount("abc ABC"), 2);  // a good pattern after a rejected one
  RegexObject withoutEngine;
  withoutEngine.SetPattern("a");
  EXPECT_EQ(withoutEngine.MatchCount("aaa"), 0);
  EXPECT_EQ(withoutEngine.ReplaceAll("aaa", "b"), "");
}

TEST(RegexObject, RunawayBacktrackingEndsQuicklyAsNoMatch) {
  const std::string text = std::string(100 * 1024, 'a') + "!";
  const auto start = std::chrono::steady_clock::now();
  for (const TextForm form : {TextForm::Utf8, TextForm::Gb18030}) {
    EXPECT_EQ(Engine("(a*)*b", form).MatchCount(text), 0);
    for (const char* pattern : {"(a*)*[bc]", "(a|aa)+$", "^(\\w+\\s?)*$"}) {
      RegexObject regex = Engine(pattern, form);
      EXPECT_EQ(regex.MatchCount(text), 0) << pattern;
      EXPECT_TRUE(regex.ReplaceAll(text, "").empty()) << pattern;
    }
  }
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
}

TEST(RegexObject, LongMatchesThatDoNotBacktrackAreNotCutShort) {
  // One tag spanning 3 MB: stripping it must not give up and return the empty text.
  const std::string longTag = "x<" + std::string(3 << 20, 'a') + "<b>y";
  EXPECT_EQ(Engine("<[\\s\\S]+?>", TextForm::Gb18030).ReplaceAll(longTag, ""), "xy");
  std::string words;
  for (int i = 0; i < 60000; ++i) words += "word ";
  EXPECT_EQ(Engine("\\w+").MatchCount(words), 60000);
  EXPECT_EQ(Engine("(\\w|\\s)+!").MatchCount(words + "!"), 1);  // a 300 KB repeated group
}

// Backtracking over a line of words takes two million steps to reach «ab!»: the limits
// must leave a short text room for that, whole or streamed.
TEST(RegexObject, PatternThatBacktracksMuchStillCompletesOnAShortText) {
  const std::string text = "word word word word word word ?\nab!";
  RegexObject regex = Engine("(\\w+\\s?)+!", TextForm::Gb18030, true, true, false);
  EXPECT_EQ(regex.MatchCount(text), 1);
  regex.StreamBegin(TextForm::Gb18030);
  regex.StreamTake(text.substr(0, 20));
  regex.StreamTake(text.substr(20));
  regex.StreamEnd();
  EXPECT_TRUE(regex.StreamFound());
}

TEST(RegexObject, CompileErrorNamesTheFaultAndWhereItStands) {
  EXPECT_EQ(Engine("a(").CompileError(), "missing closing parenthesis at character 3");
  EXPECT_EQ(Engine("\xE4\xB8\xAD[").CompileError(),
            "missing terminating ] for character class at character 3");
  EXPECT_EQ(Engine("a(b)").CompileError(), std::nullopt);
  RegexObject withoutEngine;
  withoutEngine.SetPattern("a(");
  EXPECT_EQ(withoutEngine.CompileError(), std::nullopt);
}

}  // namespace
}  // namespace tarnwick
