#include "match/alternatives.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "text/gb18030_chars.h"

namespace tarnwick {
namespace {

// GBK characters whose trail byte is ASCII: 丄 «A», 乤 «a», 亅 «|», 昞 «\».
constexpr char kTrailA[] = "\x81\x41";
constexpr char kTrailLowerA[] = "\x81\x61";
constexpr char kTrailPipe[] = "\x81\x7C";
constexpr char kTrailBackslash[] = "\x95\x5C";
constexpr char kZhong[] = "\xD6\xD0";             // 中
constexpr char kWen[] = "\xCE\xC4";               // 文
constexpr char kFourByte[] = "\x94\x39\xFC\x36";  // an emoji

std::string S(std::initializer_list<std::string_view> parts) {
  std::string joined;
  for (const std::string_view part : parts) joined += part;
  return joined;
}

TEST(SplitAlternatives, KeepsInnerEmptyPiecesAndDropsATrailingOne) {
  const std::vector<std::tuple<std::string, TextForm, std::vector<std::string>>> cases = {
      {"", TextForm::Gb18030, {}},
      {"a|", TextForm::Gb18030, {"a"}},
      {"|a", TextForm::Gb18030, {"", "a"}},
      {"a||b", TextForm::Gb18030, {"a", "", "b"}},
      {"a||", TextForm::Gb18030, {"a", ""}},
      {" a | b ", TextForm::Gb18030, {" a ", " b "}},
      {S({kTrailPipe, "|x|", kTrailPipe}), TextForm::Gb18030, {kTrailPipe, "x", kTrailPipe}},
      {S({kFourByte, "|", kZhong}), TextForm::Gb18030, {kFourByte, kZhong}},
      // 中 in UTF-8 followed by «|»: a GB18030 walk would take AD 7C for one character.
      {"\xE4\xB8\xAD|a", TextForm::Utf8, {"\xE4\xB8\xAD", "a"}},
  };
  for (const auto& [pattern, form, expected] : cases) {
    const std::vector<std::string_view> pieces = SplitAlternatives(pattern, form);
    EXPECT_EQ(std::vector<std::string>(pieces.begin(), pieces.end()), expected) << pattern;
  }
}

TEST(FindAnyAlternative, MatchesWholeCharactersIgnoringOnlyAsciiLetterCase) {
  const std::vector<std::tuple<std::string, std::string, bool>> cases = {
      // text, pattern, found
      {"xabcx", "ABC", true},
      {"xbx", "a|b", true},
      {"z", "a||b", true},
      {"", "a||b", false},
      {"", "", true},
      {"a.txt", "*.txt", false},
      {S({"ab", kZhong, kWen}), kWen, true},
      {S({kZhong, "A"}), S({kZhong, "a"}), true},
      {S({kFourByte, "q"}), S({kFourByte, "Q"}), true},
      {S({"x", kTrailPipe, "y"}), kTrailPipe, true},
      {kTrailA, "a", false},           // a trail byte is not a character
      {kTrailLowerA, kTrailA, false},  // trail bytes compare exactly
      {kZhong, "\xD6", false},         // nor may a match end inside a character
      {kFourByte, "9", false},
  };
  for (const auto& [text, pattern, found] : cases) {
    EXPECT_EQ(FindAnyAlternative(text, pattern), found)
        << "«" << pattern << "» in «" << text << "»";
  }
}

// Tries every character position with a character-by-character comparison: the meaning
// the fast search must keep.
bool ReferenceFind(std::string_view text, std::string_view pattern) {
  const std::vector<std::string_view> pieces = SplitAlternatives(pattern, TextForm::Gb18030);
  if (pieces.empty()) return true;
  const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
  for (const std::string_view piece : pieces) {
    if (piece.empty() && !text.empty()) return true;
    for (std::size_t start = 0; !piece.empty() && start < text.size();
         start += GbCharLength(text, start)) {
      std::size_t at = start;
      bool same = true;
      while (same && at < start + piece.size() && at < text.size()) {
        const std::size_t length = GbCharLength(text, at);
        const std::string_view expected = piece.substr(at - start, length);
        same = expected.size() == length && (length == 1 ? lower(text[at]) == lower(expected[0])
                                                         : text.substr(at, length) == expected);
        at += length;
      }
      if (same && at == start + piece.size()) return true;
    }
  }
  return false;
}

// Random texts over tricky characters, with patterns often cut from the text itself so that
// matches are frequent. Long texts make the search switch from memchr to memmem.
TEST(FindAnyAlternative, AgreesWithCharacterByCharacterSearch) {
  const std::vector<std::string> alphabet = {
      "a",    "A",     "b",          "|",        "\\",
      "0",    kTrailA, kTrailLowerA, kTrailPipe, kTrailBackslash,
      kZhong, kWen,    kFourByte,    "\x81",     "\x81\x30",
      "\xFF"};
  std::mt19937 random(20240611);
  const auto randomText = [&](std::size_t maxItems) {
    std::string text;
    for (std::size_t n = random() % (maxItems + 1); n > 0; --n)
      text += alphabet[random() % alphabet.size()];
    return text;
  };
  for (const auto& [rounds, maxItems, maxCut] : {std::tuple{20000, 24U, 5U}, {300, 3000U, 12U}}) {
    int found = 0;
    for (int round = 0; round < rounds; ++round) {
      const std::string text = randomText(maxItems);
      std::string pattern = randomText(3);
      if (round % 2 == 0 && !text.empty())
        pattern = text.substr(random() % text.size(), 1 + random() % maxCut);
      const bool expected = ReferenceFind(text, pattern);
      found += expected;
      ASSERT_EQ(FindAnyAlternative(text, pattern), expected)
          << "«" << pattern << "» in «" << text.substr(0, 200) << "»";
    }
    EXPECT_GT(found, rounds / 10);  // both outcomes were exercised
    EXPECT_LT(found, rounds * 9 / 10);
  }
}

}  // namespace
}  // namespace tarnwick
