#pragma once
// The one loader of file content: detects a file's encoding (byte-order marks, an HTML
// meta charset, a strict UTF-8 test) and converts its bytes into the program's text,
// GB18030 bytes ending at the first zero byte. The filters stream the text instead
// (text/text_stream.h); this loads it whole, for the viewer and the encoding report.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace tarnwick {

enum class TextEncoding : int {
  Ansi = 1,       // "ANSI": bytes taken as they are
  Utf8 = 2,       // "UTF-8"
  Unicode = 3,    // "Unicode": UTF-16LE
  UnicodeBE = 4,  // "Unicode BE": UTF-16BE
  Big5 = 5,       // "Big5"
  Big5Hkscs = 6,  // "Big5-HKSCS"
  // Only guessed (text/legacy_guess.h), never declared or detected otherwise:
  Gb18030 = 7,   // "GB18030": bytes taken as they are, as for Ansi
  ShiftJis = 8,  // "Shift-JIS"
  EucKr = 9,     // "EUC-KR"
};

// Display name shown to the user; any value outside 1..9 (a file that could not be
// opened) displays as "ANSI".
const char* DisplayName(int encoding);
// Source name handed to iconv; nullptr for Ansi and Gb18030 (the program's own text).
const char* ConversionName(TextEncoding encoding);

struct DecodedText {
  std::string text;  // GB18030 bytes, no zero byte inside
  int encoding = 0;  // a TextEncoding value, or 0 when the file could not be opened
};

// Never fails: a file that cannot be opened or read, or is not a regular file, gives
// empty text and encoding 0. Any size: the text is held whole, the file never is.
// With `guessEncodings`, text without a mark or declaration that is not UTF-8 is read in
// the legacy encoding its bytes suggest (text/legacy_guess.h).
DecodedText LoadTextFile(const std::string& path, bool guessEncodings = false);

// The decoding of bytes already in memory, read `pieceSize` bytes at a time as a file's
// are (any piece size gives the same result).
DecodedText DecodeTextBytes(std::string_view bytes, std::size_t pieceSize);
DecodedText DecodeTextBytes(std::string_view bytes);

// The charset of the first <meta> chunk of the HTML head that declares UTF-8,
// Big5-HKSCS or Big5; nullopt otherwise.
std::optional<TextEncoding> FindMetaCharset(std::string_view text);

}  // namespace tarnwick
