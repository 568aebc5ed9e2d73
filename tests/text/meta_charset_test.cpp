// The HTML charset declaration test and the reading of bytes as text.

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "text/ascii_search.h"
#include "text/text_loader.h"
#include "text/text_scan.h"

namespace tarnwick {
namespace {

using std::string_literals::operator""s;

struct MetaCase {
  const char* html;
  std::optional<TextEncoding> declared;
};

const MetaCase kMetaCases[] = {
    // The three forms of each declaration, in any letter case.
    {"<meta charset=utf-8>", TextEncoding::Utf8},
    {"<META CHARSET=\"UTF-8\">", TextEncoding::Utf8},
    {"<meta charset='Utf-8'>", TextEncoding::Utf8},
    {"<meta content=\"text/html; charset=big5\">", TextEncoding::Big5},
    {"<meta charset='big5'>", TextEncoding::Big5},
    {"<meta charset=big5-hkscs>", TextEncoding::Big5Hkscs},
    {"<meta charset='BIG5-hkscs'>", TextEncoding::Big5Hkscs},
    // Declarations that are not recognised.
    {"<meta charset=utf8>", std::nullopt},
    {"<meta charset = utf-8>", std::nullopt},
    {"<meta charset=gb2312>", std::nullopt},
    {"<meta charset=\"utf-8'>", std::nullopt},
    {"<meta charset=utf-8x>", TextEncoding::Utf8},  // holds the unquoted form
    {"<meta name=x>charset=utf-8", std::nullopt},
    {"charset=utf-8", std::nullopt},
    // The head section bounds the search.
    {"<head><title>t</title></head><meta charset=utf-8>", std::nullopt},
    {"<HEAD><meta charset=utf-8></Head>", TextEncoding::Utf8},
    {"</head><head><meta charset=big5></head>", TextEncoding::Big5},
    {"<html><meta charset=utf-8>", TextEncoding::Utf8},
    {"<head lang=zh></head><meta charset=big5>", TextEncoding::Big5},
    {"<head><title>t</title><meta charset=big5>", TextEncoding::Big5},
    {"<head><meta charset=utf-8</head>>", std::nullopt},
    // Chunks are taken in order; an empty one ends the search.
    {"<head><meta name=a><meta charset=big5></head>", TextEncoding::Big5},
    {"<meta charset=big5 x><meta charset=utf-8>", TextEncoding::Big5},
    {"<head><meta><meta charset=utf-8></head>", std::nullopt},
    {"<meta charset=utf-8", std::nullopt},
    {"", std::nullopt},
};

TEST(FindMetaCharset, RecognisesTheThreeDeclarations) {
  for (const MetaCase& c : kMetaCases) {
    EXPECT_EQ(FindMetaCharset(c.html), c.declared) << c.html;
  }
}

TEST(FindIgnoringAsciiCase, MatchesLettersOfEitherCaseOnly) {
  const struct {
    std::string text;
    std::string needle;
    std::size_t from;
    std::size_t found;
  } rows[] = {
      {"xx<MeTa", "<meta", 0, 2},
      {"<meta<meta", "<meta", 1, 5},
      {"<met", "<meta", 0, std::string::npos},
      {"abc", "", 1, 1},
      {"abc", "x", 4, std::string::npos},
      // 0xC1 folds to nothing: only ASCII letters are folded.
      {"\xC1", "\xE1", 0, std::string::npos},
      {"a\xC1", "\xC1", 0, 1},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(FindIgnoringAsciiCase(row.text, row.needle, row.from), row.found)
        << row.text << " / " << row.needle;
  }
}

TEST(ReadAsTextLength, PairsHighBytesAndStopsAtZeroOrEof) {
  const struct {
    std::string bytes;
    std::size_t length;
  } rows[] = {
      {"", 0},
      {"ab\0c"s, 2},
      {"ab\x1A"s + "c", 2},
      {"\xD6\x1A"s + "c\x1A", 3},  // 0x1A as a second byte is kept
      {"\xD6\0c"s, 0},             // a first byte followed by zero is not kept
      {"a\xD6", 1},                // nor one cut off at the end
      {"\xD6\xD0\xCE\xC4", 4},
      {"\xD6\x80\x81\x30\x81\x30", 6},
      {"\x1A", 0},
  };
  for (const auto& row : rows) EXPECT_EQ(ReadAsTextLength(row.bytes), row.length) << row.bytes;
}

}  // namespace
}  // namespace tarnwick
