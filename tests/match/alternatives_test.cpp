#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "match/gb18030_chars.h"
#include "match/match_mode.h"

namespace tarnwick {
namespace {

// GBK characters whose trail byte is an ASCII character.
constexpr char kTrailPipe[] = "\x81\x7C";       // 亅
constexpr char kTrailUpperA[] = "\x81\x41";     // 丄
constexpr char kTrailLowerA[] = "\x81\x61";     // 乤
constexpr char kTrailBackslash[] = "\x95\x5C";  // 昞
constexpr char kZhong[] = "\xD6\xD0";           // 中
constexpr char kWen[] = "\xCE\xC4";             // 文
constexpr char kEmoji[] = "\x94\x39\xFC\x36";   // a four-byte character

std::string S(std::initializer_list<std::string_view> parts) {
  std::string joined;
  for (const std::string_view part : parts) joined += part;
  return joined;
}

TEST(SplitAlternatives, PiecesFollowTheSeparatorRules) {
  struct Case {
    std::string pattern;
    TextForm form;
    std::vector<std::string> pieces;
  };
  const std::vector<Case> cases = {
      {"", TextForm::Gb18030, {}},
      {"a", TextForm::Gb18030, {"a"}},
      {"a|", TextForm::Gb18030, {"a"}},
      {"|a", TextForm::Gb18030, {"", "a"}},
      {"a||b", TextForm::Gb18030, {"a", "", "b"}},
      {"|", TextForm::Gb18030, {""}},
      {"a||", TextForm::Gb18030, {"a", ""}},
      {" a | b ", TextForm::Gb18030, {" a ", " b "}},
      {S({kTrailPipe, "|x"}), TextForm::Gb18030, {kTrailPipe, "x"}},
      {S({"x|", kTrailPipe, kTrailPipe}), TextForm::Gb18030, {"x", S({kTrailPipe, kTrailPipe})}},
      {S({kEmoji, "|", kZhong}), TextForm::Gb18030, {kEmoji, kZhong}},
      // UTF-8: «中|a» holds bytes a GB18030 walk would take for a double-byte «|».
      {"\xE4\xB8\xAD|a", TextForm::Utf8, {"\xE4\xB8\xAD", "a"}},
      {"*.txt|*.doc|", TextForm::Utf8, {"*.txt", "*.doc"}},
  };
  for (const Case& c : cases) {
    const std::vector<std::string_view> pieces = SplitAlternatives(c.pattern, c.form);
    EXPECT_EQ(std::vector<std::string>(pieces.begin(), pieces.end()), c.pieces)
        << "pattern «" << c.pattern << "»";
  }
}

struct FindCase {
  std::string text;
  std::string pattern;
};

TEST(FindAnyAlternative, FindsLiteralPiecesIgnoringAsciiCase) {
  const std::vector<FindCase> found = {
      {"xabcx", "ABC"},
      {"XABCX", "abc"},
      {"xbx", "a|b"},
      {"anything", "a||b"},
      {"z", "a||b"},
      {"z", ""},
      {"", ""},
      {"a.txt", "*.txt|.TXT"},
      {"read me.txt", "me.t"},
      {S({"ab", kZhong, kWen}), kWen},
      {S({kZhong, "A"}), S({kZhong, "a"})},
      {S({kTrailUpperA}), S({kTrailUpperA})},
      {S({"x", kTrailPipe, "y"}), S({kTrailPipe})},
      {S({kEmoji, "q"}), S({kEmoji, "Q"})},
      {S({kZhong, kTrailBackslash, "a"}), S({kTrailBackslash, "A"})},
      {"aaaaaaaaaaaaaaaaaaaaaaaaaaaaab", "AB"},
  };
  for (const FindCase& c : found) {
    EXPECT_TRUE(FindAnyAlternative(c.text, c.pattern))
        << "pattern «" << c.pattern << "» text «" << c.text << "»";
  }
}

TEST(FindAnyAlternative, NeverMatchesAcrossOrInsideADoubleByteCharacter) {
  const std::vector<FindCase> notFound = {
      {"", "a"},
      {"", "a||b"},
      {"xyz", "a|b"},
      {"a.txt", "*.txt"},
      {"ab", "abc"},
      // the trail byte of 丄 is «A», of 昞 is «\»
      {kTrailUpperA, "a"},
      {kTrailUpperA, "A"},
      {kTrailBackslash, "\\"},
      {S({kTrailUpperA, "b"}), "ab"},
      // trail letters are exact: 丄 (trail «A») is not 乤 (trail «a»)
      {kTrailLowerA, kTrailUpperA},
      {S({"x", kTrailLowerA}), kTrailUpperA},
      // a piece ending in a lone lead byte must not end inside the text's character
      {kZhong, "\xD6"},
      // the tail of 中 followed by the head of 文 is not a character sequence
      {S({kZhong, kWen}), "\xD0\xCE"},
      // digits inside a four-byte character
      {kEmoji, "9"},
      {S({"\x81\x30\x81\x30"}), "0"},
  };
  for (const FindCase& c : notFound) {
    EXPECT_FALSE(FindAnyAlternative(c.text, c.pattern))
        << "pattern «" << c.pattern << "» text «" << c.text << "»";
  }
}

// Tries every character position with a character-by-character comparison: the
// definition the fast search must agree with.
bool ReferenceFind(std::string_view text, std::string_view pattern) {
  const std::vector<std::string_view> pieces = SplitAlternatives(pattern, TextForm::Gb18030);
  if (pieces.empty()) return true;
  const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
  for (const std::string_view piece : pieces) {
    for (std::size_t start = 0; start <= text.size(); start += GbCharLength(text, start)) {
      if (piece.empty()) {
        if (!text.empty()) return true;
        break;
      }
      std::size_t at = start;
      bool same = true;
      while (same && at < start + piece.size() && at < text.size()) {
        const std::size_t length = GbCharLength(text, at);
        const std::string_view expected = piece.substr(at - start, length);
        if (expected.size() != length) {
          same = false;
        } else if (length == 1) {
          same = lower(text[at]) == lower(expected[0]);
        } else {
          same = text.substr(at, length) == expected;
        }
        at += length;
      }
      if (same && at == start + piece.size()) return true;
      if (start == text.size()) break;
    }
  }
  return false;
}

// Random texts over an alphabet of tricky characters, with patterns that are often cut
// from the text itself so that matches are frequent; returns how many were found.
int CompareWithReference(int rounds, std::size_t maxTextItems, std::size_t maxCut) {
  const std::vector<std::string> alphabet = {
      "a",    "A",  "b",          "B",          "|",        "\\",
      "0",    "9",  kTrailUpperA, kTrailLowerA, kTrailPipe, kTrailBackslash,
      kZhong, kWen, kEmoji,       "\x81",       "\x81\x30", "\xFF"};
  std::mt19937 random(20240611);
  const auto randomText = [&](std::size_t maxItems) {
    std::string text;
    const std::size_t count = random() % (maxItems + 1);
    for (std::size_t i = 0; i < count; ++i) text += alphabet[random() % alphabet.size()];
    return text;
  };
  int foundCount = 0;
  for (int round = 0; round < rounds; ++round) {
    const std::string text = randomText(maxTextItems);
    std::string pattern = randomText(3);
    if (round % 2 == 0 && !text.empty()) {
      const std::size_t from = random() % text.size();
      pattern = text.substr(from, 1 + random() % maxCut);
    }
    const bool expected = ReferenceFind(text, pattern);
    foundCount += expected;
    EXPECT_EQ(FindAnyAlternative(text, pattern), expected)
        << "pattern «" << pattern << "» text «" << text.substr(0, 200) << "»";
    if (FindAnyAlternative(text, pattern) != expected) break;
  }
  return foundCount;
}

TEST(FindAnyAlternative, AgreesWithCharacterByCharacterSearchOnShortTexts) {
  const int found = CompareWithReference(20000, 24, 5);
  EXPECT_GT(found, 2000);  // both outcomes were exercised
  EXPECT_LT(found, 18000);
}

// Long texts make the search change from scanning for one byte to a substring search.
TEST(FindAnyAlternative, AgreesWithCharacterByCharacterSearchOnLongTexts) {
  const int found = CompareWithReference(300, 3000, 12);
  EXPECT_GT(found, 30);
  EXPECT_LT(found, 270);
}

TEST(FindAnyAlternative, FindsAPieceFarIntoALongText) {
  std::string text(1 << 20, 'x');
  for (std::size_t i = 0; i < text.size(); i += 97) text.replace(i, 2, kZhong);
  EXPECT_FALSE(FindAnyAlternative(text, "needle|NEEDLE2"));
  text.replace(text.size() - 10, 6, "NeEdLe");
  EXPECT_TRUE(FindAnyAlternative(text, "absent|needle"));
}

}  // namespace
}  // namespace tarnwick
