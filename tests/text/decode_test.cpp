// Detection and decoding of file content held in memory.

#include <gtest/gtest.h>

#include <string>

#include "text/text_loader.h"

namespace tarnwick {
namespace {

using std::string_literals::operator""s;

struct DecodeCase {
  const char* name;
  std::string bytes;
  std::string text;
  TextEncoding encoding;
};

// "中文" in the encodings the loader reads.
const std::string kGb = "\xD6\xD0\xCE\xC4";
const std::string kUtf8 = "\xE4\xB8\xAD\xE6\x96\x87";
const std::string kBig5 = "\xA4\xA4\xA4\xE5";
const std::string kUtf16Le = "\x2D\x4E\x87\x65";
const std::string kUtf16Be = "\x4E\x2D\x65\x87";

const DecodeCase kCases[] = {
    {"empty file", "", "", TextEncoding::Ansi},
    {"ASCII stays ANSI", "hello, world\r\n", "hello, world\r\n", TextEncoding::Ansi},
    {"ASCII keeps 0x1A", "ab\x1A"s + "cd", "ab\x1A"s + "cd", TextEncoding::Ansi},
    {"ASCII cut at zero is UTF-8", "ab\0cd"s, "ab", TextEncoding::Utf8},
    {"leading zero gives nothing", "\0abc"s, "", TextEncoding::Ansi},
    {"UTF-8 Chinese without mark", kUtf8 + "abc", kGb + "abc", TextEncoding::Utf8},
    {"UTF-8 cut at zero", kUtf8 + "\0x"s + kUtf8, kGb, TextEncoding::Utf8},
    {"UTF-8 that does not shrink stays ANSI", "\xC3\xA9\xC2\xB7", "\xA8\xA6\xA1\xA4",
     TextEncoding::Ansi},
    {"UTF-8 that grows stays ANSI", "\xC2\xA0", "\x81\x30\x84\x32", TextEncoding::Ansi},
    {"UTF-8 beyond the BMP", kUtf8 + "\xF0\x9F\x98\x80", kGb + "\x94\x39\xFC\x36",
     TextEncoding::Utf8},
    {"UTF-8 mark", "\xEF\xBB\xBF" + kUtf8, kGb, TextEncoding::Utf8},
    {"UTF-8 mark with ASCII", "\xEF\xBB\xBF"s + "abc", "abc", TextEncoding::Utf8},
    {"UTF-8 mark alone", "\xEF\xBB\xBF", "\xEF\xBB", TextEncoding::Ansi},
    {"UTF-8 mark with bad bytes", "\xEF\xBB\xBF"s + "a\xFF"s + "b", "a?b", TextEncoding::Utf8},
    {"UTF-16LE mark", "\xFF\xFE" + kUtf16Le, kGb, TextEncoding::Unicode},
    {"UTF-16BE mark", "\xFE\xFF" + kUtf16Be, kGb, TextEncoding::UnicodeBE},
    {"UTF-16LE mark alone", "\xFF\xFE", "\xFF\xFE", TextEncoding::Ansi},
    {"UTF-16LE cut at zero", "\xFF\xFE"s + "a\0\0\0b\0"s, "a", TextEncoding::Unicode},
    {"UTF-16LE odd length", "\xFF\xFE" + kUtf16Le + "\x41", kGb + "?", TextEncoding::Unicode},
    {"UTF-16LE lone surrogate", "\xFF\xFE\x00\xD8\x41\x00"s, "?A", TextEncoding::Unicode},
    {"UTF-16LE starting with zero", "\xFF\xFE\0\0a\0"s, "\xFF\xFE", TextEncoding::Ansi},
    {"UTF-16LE without mark reads as UTF-8", "a\0b\0c\0"s, "a", TextEncoding::Utf8},
    {"GBK", kGb + "abc", kGb + "abc", TextEncoding::Ansi},
    {"GBK ends at 0x1A", kGb + "a\x1A" + kGb, kGb + "a", TextEncoding::Ansi},
    {"0x1A as second byte does not end", "\xD6\x1A"s + "b\x1A"s + "c", "\xD6\x1A"s + "b",
     TextEncoding::Ansi},
    {"first byte before zero is dropped", kGb + "\xCE\0x"s, kGb, TextEncoding::Ansi},
    {"first byte at the end is dropped", kGb + "\xCE", kGb, TextEncoding::Ansi},
    {"truncated UTF-8 reads raw", "\xE4\xB8\xAD\xE6\x96", "\xE4\xB8\xAD\xE6", TextEncoding::Ansi},
    {"binary header", "\x89PNG\r\n\x1A\n\0\0"s, "\x89PNG\r\n", TextEncoding::Ansi},
    {"meta Big5", "<meta charset=big5>" + kBig5, "<meta charset=big5>" + kGb, TextEncoding::Big5},
    {"meta Big5 lenient stops at zero", "<meta charset=big5>\xA4\xA4\xFF\0\xA4\xE5"s,
     "<meta charset=big5>\xD6\xD0?", TextEncoding::Big5},
    {"meta Big5-HKSCS", "<META CHARSET=\"BIG5-HKSCS\">\x88\x40",
     "<META CHARSET=\"BIG5-HKSCS\">\x81\x39\xB7\x36", TextEncoding::Big5Hkscs},
    {"meta UTF-8 over GBK bytes", "<meta charset=\"utf-8\">\xD6\xD0", "<meta charset=\"utf-8\">??",
     TextEncoding::Utf8},
    {"meta after 0x1A is not read", "abc\x1A<meta charset=big5>" + kBig5, "abc",
     TextEncoding::Ansi},
    {"mark wins over meta", "\xFF\xFE<\0"s, "<", TextEncoding::Unicode},
    {"UTF-8 that grows past a zero stays ANSI", "\xC2\xA0\0"s, "\x81\x30\x84\x32",
     TextEncoding::Ansi},
    {"UTF-8 with bad bytes after a zero reads raw", kUtf8 + "a\0\xFF"s, kUtf8 + "a",
     TextEncoding::Ansi},
    {"UTF-8 mark with a leading zero", "\xEF\xBB\xBF\0abc"s, "\xEF\xBB", TextEncoding::Ansi},
    {"meta UTF-8 hidden after 0x1A", "a\x1A<meta charset=utf-8>" + kUtf8,
     "a\x1A<meta charset=utf-8>" + kGb, TextEncoding::Utf8},
};

// Read whole and in pieces of every small size: a mark, a declaration, a character or a
// zero split between two pieces must not change the result.
TEST(DecodeTextBytes, DetectsAndConvertsAndTheTextNeverHoldsZero) {
  for (const DecodeCase& c : kCases) {
    for (const std::size_t pieceSize :
         {std::size_t{1}, std::size_t{2}, std::size_t{3}, std::size_t{5}, std::size_t{1} << 20}) {
      const DecodedText decoded = DecodeTextBytes(c.bytes, pieceSize);
      EXPECT_EQ(decoded.text, c.text) << c.name << ", pieces of " << pieceSize;
      EXPECT_EQ(decoded.encoding, static_cast<int>(c.encoding)) << c.name << ", " << pieceSize;
      EXPECT_EQ(decoded.text.find('\0'), std::string::npos) << c.name;
    }
  }
}

// The six names themselves are checked end to end by the command line's --encoding, the
// three guessed ones by the guess's tests.
TEST(DisplayName, CodesOutsideTheNineAreAnsi) {
  for (const int code : {10, 0, -1}) EXPECT_STREQ(DisplayName(code), "ANSI") << code;
  EXPECT_EQ(ConversionName(TextEncoding::Ansi), nullptr);
  EXPECT_EQ(ConversionName(TextEncoding::Gb18030), nullptr);  // the program's own text
}

}  // namespace
}  // namespace tarnwick
