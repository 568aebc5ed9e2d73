// The conversions: iconv's strict and lenient modes, and the table-driven converters,
// which must give exactly what iconv gives.

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "platform/iconv_converter.h"
#include "text/program_text.h"
#include "text/streamed_conversion.h"
#include "text/table_conversion.h"

namespace tarnwick {
namespace {

using platform::ConvertLenient;
using platform::ConvertStrict;
using std::string_literals::operator""s;

// The UTF-8 bytes of a code point outside the surrogates, as iconv writes them.
std::string Utf8Of(std::uint32_t codePoint) {
  std::string unit(4, '\0');
  for (std::size_t i = 0; i < 4; ++i) unit[i] = static_cast<char>(codePoint >> (8 * i));
  return ConvertStrict(unit, "UTF-32LE", "UTF-8").value();
}

// The table converter's answer must be iconv's: the same bytes when it converts, a
// failure when it calls the input invalid.
void ExpectUtf8TableAgreesWithIconv(const std::string& input) {
  std::string byTable;
  const TableConversion result = Utf8ToGb18030ByTable(input, byTable);
  const auto byIconv = ConvertStrict(input, "UTF-8", "GB18030");
  if (result == TableConversion::Converted) {
    ASSERT_TRUE(byIconv.has_value()) << ::testing::PrintToString(input);
    EXPECT_EQ(byTable, *byIconv) << ::testing::PrintToString(input);
  } else if (result == TableConversion::Invalid) {
    EXPECT_FALSE(byIconv.has_value()) << ::testing::PrintToString(input);
  }
}

// Random mixes of ASCII, valid characters of every length and stray high bytes.
std::vector<std::string> RandomSamples(bool validOnly) {
  std::mt19937 random(20240229);
  std::vector<std::string> samples;
  for (int sample = 0; sample < 3000; ++sample) {
    std::string bytes;
    const int pieces = static_cast<int>(random() % 12);
    for (int piece = 0; piece < pieces; ++piece) {
      const unsigned kind = random() % (validOnly ? 3 : 4);
      if (kind == 0) bytes += static_cast<char>(random() % 0x80);
      if (kind == 1) bytes += Utf8Of(0x80 + random() % (0xD800 - 0x80));
      if (kind == 2) bytes += Utf8Of(0xE000 + random() % (0x110000 - 0xE000));
      if (kind == 3) bytes += static_cast<char>(0x80 + random() % 0x80);
    }
    samples.push_back(bytes);
  }
  return samples;
}

TEST(Utf8ToGb18030ByTable, AgreesWithIconvOnEveryBmpCharacter) {
  for (std::uint32_t codePoint = 0x80; codePoint < 0x10000; ++codePoint) {
    if (codePoint >= 0xD800 && codePoint < 0xE000) continue;
    ExpectUtf8TableAgreesWithIconv("a" + Utf8Of(codePoint) + "\xE4\xB8\xAD");
  }
}

TEST(Utf8ToGb18030ByTable, AgreesWithIconvOnMalformedInput) {
  const std::string malformed[] = {
      "\x80",
      "\xBF",
      "\xC0\x80",
      "\xC1\xBF",
      "\xC2",
      "\xC2\x41",
      "\xE0\x80\x80",
      "\xE0\x9F\xBF",
      "\xED\xA0\x80",
      "\xED\xBF\xBF",
      "\xE4\xB8",
      "\xE4\x41\x80",
      "\xE4\xB8\x41",
      "\xF0\x80\x80\x80",
      "\xF4\x90\x80\x80",
      "\xF5\x80\x80\x80",
      "\xF8\x88\x80\x80\x80",
      "\xFE",
      "\xFF",
      "\xD6\xD0\xCE\xC4",
  };
  for (const std::string& bytes : malformed) {
    std::string out;
    EXPECT_NE(Utf8ToGb18030ByTable("ok" + bytes, out), TableConversion::Converted)
        << ::testing::PrintToString(bytes);
    ExpectUtf8TableAgreesWithIconv("ok" + bytes);
    ExpectUtf8TableAgreesWithIconv(bytes + "ok");
  }
  for (const std::string& sample : RandomSamples(false)) ExpectUtf8TableAgreesWithIconv(sample);
}

TEST(Utf8ToGb18030ByTable, ConvertsTheCommonCaseItself) {
  std::string out;
  EXPECT_EQ(Utf8ToGb18030ByTable("\xE4\xB8\xAD\xE6\x96\x87 abcdefghijk", out),
            TableConversion::Converted);
  EXPECT_EQ(out, "\xD6\xD0\xCE\xC4 abcdefghijk");
  EXPECT_EQ(Utf8ToGb18030ByTable("\xF0\x9F\x98\x80", out), TableConversion::Declined);
}

TEST(Gb18030ToUtf8, TableAgreesWithIconvOnEveryTwoByteCode) {
  for (unsigned first = 0x80; first <= 0xFF; ++first) {
    for (unsigned second = 0x00; second <= 0xFF; ++second) {
      const std::string code = {static_cast<char>(first), static_cast<char>(second), 'z'};
      EXPECT_EQ(Gb18030ToUtf8(code), ConvertLenient(code, "GB18030", "UTF-8", "\xEF\xBF\xBD"))
          << first << " " << second;
    }
  }
}

TEST(ProgramText, RoundTripsValidText) {
  for (const std::string& sample : RandomSamples(true)) {
    const std::string gb = Utf8ToGb18030(sample);
    EXPECT_EQ(gb, ConvertStrict(sample, "UTF-8", "GB18030").value_or("failed"));
    EXPECT_EQ(Gb18030ToUtf8(gb), sample);
  }
}

TEST(ProgramText, ReplacesBadInput) {
  EXPECT_EQ(Utf8ToGb18030("a\xFF\xE4\xB8\xAD"), "a?\xD6\xD0");
  EXPECT_EQ(Gb18030ToUtf8("a\xFF\xD6\xD0\x81"), "a\xEF\xBF\xBD\xE4\xB8\xAD\xEF\xBF\xBD");
  EXPECT_EQ(Gb18030ToUtf8("\x81\x30\x81\x30"), "\xC2\x80");
}

TEST(IsAscii, FindsAHighByteAnywhere) {
  for (std::size_t length = 0; length <= 70; ++length) {
    const std::string ascii(length, 'a');
    EXPECT_TRUE(IsAscii(ascii)) << length;
    for (std::size_t at = 0; at < length; ++at) {
      std::string high = ascii;
      high[at] = '\x80';
      EXPECT_FALSE(IsAscii(high)) << length << " " << at;
    }
  }
}

TEST(ConvertStrict, IsAllOrNothing) {
  EXPECT_EQ(ConvertStrict("\xE4\xB8\xAD", "UTF-8", "GB18030"), "\xD6\xD0");
  EXPECT_EQ(ConvertStrict("a\0b"s, "UTF-8", "GB18030"), "a\0b"s);
  EXPECT_EQ(ConvertStrict("abc\xFF"s + "def", "UTF-8", "GB18030"), std::nullopt);
  EXPECT_EQ(ConvertStrict("abc\xE4\xB8", "UTF-8", "GB18030"), std::nullopt);
  EXPECT_EQ(ConvertStrict("\x2D\x4E\x87", "UTF-16LE", "GB18030"), std::nullopt);
  EXPECT_EQ(ConvertStrict("abc", "NO-SUCH-ENCODING", "GB18030"), std::nullopt);
  // Output that outgrows the first guess of its size.
  std::string wide;
  for (int i = 0; i < 5000; ++i) wide += "\xC2\xA0";
  const auto grown = ConvertStrict(wide, "UTF-8", "GB18030");
  ASSERT_TRUE(grown.has_value());
  EXPECT_EQ(grown->size(), 20000u);
}

TEST(ConvertLenient, ReplacesEachBadUnitAndGoesOn) {
  EXPECT_EQ(ConvertLenient("a\xFF"s + "b\xFF", "UTF-8", "GB18030", "?"), "a?b?");
  EXPECT_EQ(ConvertLenient("a\xE4\xB8", "UTF-8", "GB18030", "?"), "a?");
  EXPECT_EQ(ConvertLenient("\x00\xD8\x41\x00"s, "UTF-16LE", "GB18030", "?"), "?A");
  EXPECT_EQ(ConvertLenient("\x2D\x4E\x87"s, "UTF-16LE", "GB18030", "<bad>"), "\xD6\xD0<bad>");
  EXPECT_EQ(ConvertLenient("abc", "NO-SUCH-ENCODING", "GB18030", "?"), "");
  // Many bad bytes in a row: each is replaced, none is lost.
  const std::string bad(10000, '\xFF');
  EXPECT_EQ(ConvertLenient(bad, "UTF-8", "GB18030", "?"), std::string(10000, '?'));
}

// Fed in pieces of any size, a conversion gives what converting the whole input gives:
// characters, bad sequences and the table's hand-overs to iconv split anywhere.
TEST(StreamConverter, PiecesConvertAsTheWholeInput) {
  const struct {
    const char* from;
    const char* to;
    const char* replacement;
  } pairs[] = {
      {"UTF-8", "GB18030", "?"},
      {"UTF-16LE", "GB18030", "?"},
      {"UTF-16BE", "GB18030", "?"},
      {"BIG5-HKSCS", "GB18030", "?"},
      {"GB18030", "UTF-8", "\xEF\xBF\xBD"},
  };
  const std::string fragments[] = {
      "ab",
      "\xE4\xB8\xAD",
      "\xC2\xA0",
      "\xF0\x9F\x98\x80",
      "\xEE\x9E\x8D",
      "\xE4\xB8",
      "\xFF",
      "\x00\xD8"s,
      "\x3D\xD8\x00\xDE"s,
      "\xD6\xD0",
      "\x81\x30\x81\x30",
      "\x84\x31\xA5\x30",
      "\x88\x40",
      "\xA4\xA4",
      "\x80",
      "\x81",
  };
  std::mt19937 random(5);
  for (const auto& pair : pairs) {
    StreamConverter converter(pair.from, pair.to, pair.replacement);
    for (int sample = 0; sample < 600; ++sample) {
      std::string input;
      for (int i = random() % 10; i > 0; --i) input += fragments[random() % std::size(fragments)];
      const std::string whole = ConvertLenient(input, pair.from, pair.to, pair.replacement);
      for (const std::size_t pieceSize : {1, 2, 3, 5, 8, 1000}) {
        converter.Reset();
        std::string streamed;
        for (std::size_t at = 0; at < input.size(); at += pieceSize) {
          const std::string_view piece = std::string_view(input).substr(at, pieceSize);
          converter.Convert(piece, at + pieceSize >= input.size(), streamed);
        }
        if (input.empty()) converter.Convert({}, true, streamed);
        ASSERT_EQ(streamed, whole)
            << pair.from << " " << ::testing::PrintToString(input) << " in pieces of " << pieceSize;
      }
    }
  }
}

}  // namespace
}  // namespace tarnwick
