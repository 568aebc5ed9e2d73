// What the duplicate filter's text keys are made of: the normalised text, its digest,
// its gram signature and the estimates the signatures give.

#include "engine/duplicates/text_key.h"

#include <gtest/gtest.h>

#include <random>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "engine/duplicates/band_index.h"
#include "engine/duplicates/band_insert.h"
#include "engine/duplicates/character_grams.h"
#include "engine/duplicates/gram_sample.h"
#include "engine/duplicates/gram_signature.h"
#include "engine/duplicates/normalised_text.h"
#include "engine/filters/character_measure.h"
#include "engine/filters/count_characters.h"
#include "tests/engine/text_sample.h"

namespace tarnwick {
namespace {

// The normalised text itself.
class KeptText {
 public:
  void Start() { text_.clear(); }
  void Take(std::string_view piece) { text_.append(piece); }
  void Finish() {}
  const std::string& Text() const { return text_; }

 private:
  std::string text_;
};

// `text` normalised, handed over in pieces of `pieceSize` bytes (the loader hands over
// whole characters; these tests use ASCII and marks, where any cut is whole).
std::string Normalised(std::string_view text, bool stripTags, bool stripSpace,
                       std::size_t pieceSize = 1 << 20) {
  NormalisedText<KeptText> normalised;
  normalised.Configure(stripTags, stripSpace);
  normalised.Begin(TextForm::Gb18030);
  for (std::size_t at = 0; at < text.size(); at += pieceSize)
    normalised.Take(text.substr(at, pieceSize));
  normalised.End();
  return normalised.Output().Text();
}

TEST(NormalisedTextTest, MarksAndLineBreaksAreRemovedOrFoldedInAnyPieces) {
  struct Case {
    std::string_view text;
    std::string_view expected;
  };
  const Case cases[] = {
      {"a\r\nb\rc\nd", "a\nb\nc\nd"},
      {"a\r\r\nb\n\r", "a\n\nb\n\n"},
      {"\x84\x31\x95\x33text", "text"},  // U+FEFF in GB18030
      {"\xEF\xBB\xBFtext", "text"},      // a file read raw, its mark kept
      {"\xFF\xFE", ""},
      {"\xFE\xFFx", "x"},
      {"x\xEF\xBB\xBF", "x\xEF\xBB\xBF"},  // only a mark at the start
      {"\r", "\n"},
      {"", ""},
  };
  for (const Case& test : cases) {
    for (std::size_t piece = 1; piece <= test.text.size() + 1; ++piece) {
      EXPECT_EQ(Normalised(test.text, false, false, piece), test.expected)
          << "'" << test.text << "' in pieces of " << piece;
    }
  }
}

TEST(NormalisedTextTest, TagsAndSpacesGoAsTheLengthFilterTakesThemOut) {
  struct Case {
    std::string_view text;
    bool tags, spaces;
    std::string_view expected;
  };
  const Case cases[] = {
      {"<p>Hi</p>", true, false, "Hi"},
      {"a<b", true, false, "a<b"},  // no «>» after it: text
      {"x< >y", true, false, "xy"},
      {"a<>b>c", true, false, "ac"},  // the character after «<» belongs to the tag
      {"<a\r\nhref>x\r\n", true, false, "x\n"},
      {"a\r<br>\nb", true, false, "a\nb"},  // the tag goes before the line break folds
      {"a b\r\n\tc\f", false, true, "abc"},
      {"<> x", true, true, "<>x"},  // «<>» with no «>» after it is no tag
      {"< >", false, true, "<>"},
  };
  for (const Case& test : cases) {
    for (std::size_t piece = 1; piece <= test.text.size() + 1; ++piece) {
      EXPECT_EQ(Normalised(test.text, test.tags, test.spaces, piece), test.expected)
          << "'" << test.text << "' in pieces of " << piece;
    }
  }
}

TEST(NormalisedTextTest, CountsAsTheCharacterMeasureCounts) {
  const std::string texts[] = {
      "<html>\r\n<p>第一段</p>\r\n  <p>第二 段</p></html>\r\n",
      "a < b > c\r\rd\n\ne <unclosed tag and text\r\n",
      test::Encoded("合同 金额：<b>100</b> 元\r\n发票\r", "GB18030"),
  };
  for (const std::string& text : texts) {
    for (const bool tags : {false, true}) {
      for (const bool spaces : {false, true}) {
        CharacterMeasure measure;
        measure.Configure(tags, spaces);
        measure.Begin(TextForm::Gb18030);
        measure.Take(text);
        measure.End();
        EXPECT_EQ(CountCharacters(Normalised(text, tags, spaces)), measure.Count())
            << text << " tags " << tags << " spaces " << spaces;
      }
    }
  }
}

TEST(TextKeyTest, EqualNormalisedTextsHaveEqualKeysAndEmptyTextNone) {
  const auto keyOf = [](std::string_view text, std::size_t piece) {
    NormalisedText<TextKeyDigest> digest;
    digest.Begin(TextForm::Gb18030);
    for (std::size_t at = 0; at < text.size(); at += piece) digest.Take(text.substr(at, piece));
    digest.End();
    return digest.Output().Key();
  };
  const auto key = keyOf("line one\nline two", 1000);
  ASSERT_TRUE(key.has_value());
  EXPECT_EQ(keyOf("line one\r\nline two", 3), key);
  EXPECT_EQ(keyOf("\xEF\xBB\xBFline one\rline two", 1), key);
  EXPECT_NE(keyOf("line one\nline two\n", 1000), key);
  EXPECT_FALSE(keyOf("", 1).has_value());
  EXPECT_FALSE(keyOf("\xFF\xFE", 1).has_value());
}

TEST(GramSignatureTest, EstimatesStayWithinFivePercentOfExactResemblance) {
  // Pairs of 1,000 to 4,000 characters with 0 to 120 places edited: resemblance from 1
  // down to about 0.25.
  for (const std::size_t length : {1000u, 2000u, 4000u}) {
    const auto text = test::ChineseCharacters(length, static_cast<std::uint32_t>(length));
    for (const std::size_t edits : {0u, 2u, 5u, 10u, 20u, 40u, 80u, 120u}) {
      const std::string a = test::Joined(text);
      const std::string b = test::Joined(text, test::Spaced(7, edits, length / (edits + 1)));
      const double exact = test::ExactResemblance(a, b);
      EXPECT_NEAR(test::EstimatedResemblanceOf(a, b), exact, 0.05)
          << length << " characters, " << edits << " edits, exact " << exact;
    }
  }
}

TEST(GramSignatureTest, UnrelatedTextsEstimateNearNothing) {
  const std::string a = test::Joined(test::ChineseCharacters(3000, 1));
  const std::string b = test::Joined(test::ChineseCharacters(3000, 2));
  EXPECT_LT(test::EstimatedResemblanceOf(a, b), 0.05);
}

TEST(CharacterGramsTest, PiecesAndCharacterFormsDoNotChangeTheGrams) {
  // Four-byte GB18030 characters («€» is 0xA2E3 in two bytes, «😀» four bytes), cut
  // anywhere.
  const std::string text = test::Encoded("价格€与😀表情符号，再来一次价格€与😀", "GB18030");
  CharacterGrams<GramSample> whole;
  whole.Start();
  whole.Take(text);
  whole.Finish();
  for (std::size_t piece = 1; piece < text.size(); ++piece) {
    CharacterGrams<GramSample> cut;
    cut.Start();
    for (std::size_t at = 0; at < text.size(); at += piece)
      cut.Take(std::string_view(text).substr(at, piece));
    cut.Finish();
    EXPECT_DOUBLE_EQ(SampledResemblance(cut.Grams(), whole.Grams()), 1.0) << piece;
  }
  // A text shorter than a gram is one gram of its own.
  EXPECT_DOUBLE_EQ(test::ExactResemblance("短文", "短文"), 1.0);
  EXPECT_DOUBLE_EQ(test::ExactResemblance("短文", "短句"), 0.0);
}

TEST(GramSampleTest, LongTextsAreSampledFromTheLeastHashesOfTheUnion) {
  // Past kSampleSize grams a sample is cut short; the estimate stays close.
  const auto text = test::ChineseCharacters(30000, 9);
  const std::string a = test::Joined(text);
  const std::string b = test::Joined(text, test::Spaced(10, 300, 97));
  // 300 edits of 8 grams each among about 30,000: about 0.85.
  const double sampled = test::ExactResemblance(a, b);
  const double expected = (30000.0 - 8 * 300) / (30000.0 + 8 * 300);
  EXPECT_NEAR(sampled, expected, 0.03);
}

// A band keeps the least distinct hashes it was given, in order, whatever the shape:
// one by one and in vectors alike. Hashes come again, and fall on either side of those
// kept.
TEST(BandInsertTest, EachWayKeepsTheLeastDistinctHashesInOrder) {
  std::vector<BandInsert> ways{&InsertInBandOneByOne};
  if (VectorBandInsert()) ways.push_back(VectorBandInsert());
  std::mt19937_64 random(11);
  for (const unsigned rows : {1u, 6u, 8u, 13u, 16u, 27u, 32u}) {
    for (int text = 0; text < 40; ++text) {
      std::vector<std::uint64_t> given;
      const int count = static_cast<int>(random() % 400);
      for (int i = 0; i < count; ++i) {
        // A few small values, so that many go in; some met before.
        const std::uint64_t hash = i > 0 && random() % 4 == 0 ? given[random() % given.size()]
                                   : random() % 3 == 0        ? random() % 1000
                                                              : random();
        given.push_back(hash);
      }
      const std::set<std::uint64_t> distinct(given.begin(), given.end());
      std::vector<std::uint64_t> expected(distinct.begin(), distinct.end());
      expected.resize(std::min<std::size_t>(expected.size(), rows));
      expected.resize(rows, kNoGram);
      for (const BandInsert insert : ways) {
        std::vector<std::uint64_t> least(kMostRows, kNoGram);
        for (const std::uint64_t hash : given)
          if (hash < least[rows - 1]) insert(least.data(), rows, hash);
        least.resize(rows);
        EXPECT_EQ(least, expected) << "rows " << rows << ", text " << text;
      }
    }
  }
}

}  // namespace
}  // namespace tarnwick
