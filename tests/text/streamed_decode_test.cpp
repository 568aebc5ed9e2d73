// The streamed loader against the plain whole-bytes decoding, on random mixes of the
// things that change a file's reading: marks, declarations and head tags, characters of
// every encoding, zeros, 0x1A, bad and cut-off sequences, read in pieces of many sizes.

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "tests/text/whole_text_decoder.h"
#include "text/meta_scan.h"
#include "text/text_loader.h"
#include "text/text_scan.h"

namespace tarnwick {
namespace {

using std::string_literals::operator""s;

const std::vector<std::string> kFragments = {
    "plain words ",
    "quillwort",
    "\r\n",
    "\n",
    "<",
    ">",
    "<>",
    "\x1A",
    "\0"s,
    "\0\0"s,
    "<head>",
    "</head>",
    "<HEAD>",
    "<meta",
    "<meta>",
    "<meta charset=big5>",
    "<meta charset='UTF-8'>",
    "<Meta Charset=\"Big5-HKSCS\">",
    " charset=utf-8 ",
    "charset=Big5",
    "\xE4\xB8\xAD\xE6\x96\x87",  // 中文, UTF-8
    "\xD6\xD0\xCE\xC4",          // 中文, GBK
    "\xA4\xA4\xA4\xE5",          // 中文, Big5
    "\x2D\x4E\x87\x65",          // 中文, UTF-16LE
    "\xC2\xA0",
    "\xF0\x9F\x98\x80",  // four GB18030 bytes; beyond the BMP
    "\xEE\x9E\x8D",      // a character iconv refuses
    "\xE4\xB8",
    "\xE4",
    "\x80",
    "\xFF",
    "\xD6",
    "\x81\x30",
    "\x81\x30\x81\x30",
    "\x84\x31\xA5\x30",
    "a\0b\0"s,
    "\x00\xD8"s,
    "\x3D\xD8\x00\xDE"s,  // UTF-16 text, a lone and a whole pair
};

// Runs long enough for the checks that take sixteen or more bytes at a time.
std::string Repeated(const std::string& unit, int times) {
  std::string run;
  for (int i = 0; i < times; ++i) run += unit;
  return run;
}

const std::vector<std::string> kLongRuns = {
    std::string(150, 'a'),
    Repeated("\xE4\xB8\xAD\xE6\x96\x87", 30),  // 中文, UTF-8
    Repeated("\xE4\xB8\xAD\xE3\x80\x81\xEF\xBC\x8C"
             "ab",
             12),                      // with punctuation
    Repeated("\xD6\xD0\xCE\xC4", 40),  // GBK
    std::string(140, '\0'),
};

const std::vector<std::string> kStarts = {
    "", "", "", "\xEF\xBB\xBF", "\xFF\xFE", "\xFE\xFF", "<html><head>", "<meta charset=big5>",
};

std::string RandomBytes(std::mt19937& random) {
  std::string bytes = kStarts[random() % kStarts.size()];
  const int count = static_cast<int>(random() % 24);
  for (int i = 0; i < count; ++i) {
    bytes += random() % 8 == 0 ? kLongRuns[random() % kLongRuns.size()]
                               : kFragments[random() % kFragments.size()];
  }
  return bytes;
}

TEST(StreamedDecode, GivesTheWholeBytesReadingForAnyPieceSize) {
  std::mt19937 random(20261208);
  const std::size_t pieceSizes[] = {1, 2, 3, 4, 5, 7, 11, 16, 29, 64, 200, 1 << 20};
  for (int sample = 0; sample < 3000; ++sample) {
    const std::string bytes = RandomBytes(random);
    const DecodedText expected = testing::DecodeWholeBytes(bytes);
    for (const std::size_t pieceSize : pieceSizes) {
      const DecodedText streamed = DecodeTextBytes(bytes, pieceSize);
      ASSERT_EQ(streamed.encoding, expected.encoding)
          << ::testing::PrintToString(bytes) << " in pieces of " << pieceSize;
      ASSERT_EQ(streamed.text, expected.text)
          << ::testing::PrintToString(bytes) << " in pieces of " << pieceSize;
    }
  }
}

// The declaration search on its own, over texts made mostly of tags and declarations:
// the head section bounds it only when both tags are there, and every word may be split
// between pieces.
TEST(StreamedDecode, MetaCharsetOfPiecesIsThatOfTheWholeText) {
  std::mt19937 random(7);
  for (int sample = 0; sample < 6000; ++sample) {
    std::string text;
    const int count = static_cast<int>(random() % 16);
    for (int i = 0; i < count; ++i) text += kFragments[4 + random() % 16];
    const std::optional<TextEncoding> expected = testing::WholeTextMetaCharset(text);
    ASSERT_EQ(FindMetaCharset(text), expected) << text;
    for (const std::size_t pieceSize : {1, 2, 3, 6, 9, 25}) {
      MetaCharsetScan scan;
      for (std::size_t at = 0; at < text.size() && !scan.Settled(); at += pieceSize)
        scan.Take(std::string_view(text).substr(at, pieceSize));
      if (!scan.Settled()) scan.End();
      ASSERT_EQ(scan.Declared(), expected) << text << " in pieces of " << pieceSize;
    }
  }
}

// Reading as text in pieces: where the text ends, a first byte held back at the end of
// a piece, 0x00 and 0x1A as second bytes.
TEST(StreamedDecode, RawTextOfPiecesIsThatOfTheWholeBytes) {
  std::mt19937 random(11);
  const std::string bytes =
      "a\xD6\x1A\x1A\xD6\0\xE4\xB8\xAD"
      "b\x80\x80\x1A"
      "c"s;
  for (int sample = 0; sample < 3000; ++sample) {
    std::string text;
    for (int i = 0; i < 12; ++i) text += bytes[random() % bytes.size()];
    const std::size_t expected = testing::WholeTextReadAsTextLength(text);
    ASSERT_EQ(ReadAsTextLength(text), expected) << ::testing::PrintToString(text);
    for (const std::size_t pieceSize : {1, 2, 3, 5}) {
      RawTextCut cut;
      std::size_t length = 0;
      for (std::size_t at = 0; at < text.size() && !cut.Ended(); at += pieceSize) {
        const RawTextCut::Part part = cut.Take(std::string_view(text).substr(at, pieceSize));
        length += part.length + (part.confirmedLead ? 1 : 0);
      }
      ASSERT_EQ(length, expected) << ::testing::PrintToString(text) << " in pieces of "
                                  << pieceSize;
    }
  }
}

}  // namespace
}  // namespace tarnwick
