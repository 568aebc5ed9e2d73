#pragma once
// The one loader of file content: detects a file's encoding (byte-order marks, an HTML
// meta charset, a strict UTF-8 test) and converts its bytes into the program's text,
// GB18030 bytes ending at the first zero byte.

#include <cstdint>
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
};

// Display name shown to the user; any value outside 1..6 (a file that could not be
// opened) displays as "ANSI".
const char* DisplayName(int encoding);
// Source name handed to iconv; nullptr for Ansi.
const char* ConversionName(TextEncoding encoding);

struct DecodedText {
  std::string text;  // GB18030 bytes, no zero byte inside
  int encoding = 0;  // a TextEncoding value, or 0 when the file could not be opened
};

// Never fails: a file that cannot be opened or is not a regular file gives empty text
// and encoding 0.
DecodedText LoadTextFile(const std::string& path);

// The largest file LoadTextFile reads. A file is held whole in memory, together with its
// converted text and the matchers' copies of it, so a bigger one is treated like a file
// that cannot be read (empty text, encoding 0) rather than exhaust the machine's memory.
inline constexpr std::int64_t kTextFileSizeLimit = std::int64_t{256} << 20;

// LoadTextFile with another size limit: a file longer than `sizeLimit` bytes (also one
// that grows past it while being read) gives empty text and encoding 0.
DecodedText LoadTextFile(const std::string& path, std::int64_t sizeLimit);

// Whether LoadTextView may hand back valid UTF-8 content unconverted.
enum class Utf8Content {
  Convert,    // always the decoded text
  KeepBytes,  // the UTF-8 bytes the decoded text converts from, where there are such
};

// A file's content as LoadTextView hands it back. `text` points into buffers of the
// calling thread that the next LoadTextView or LoadTextFile on that thread writes over.
struct TextView {
  // The decoded text (GB18030, no zero byte inside); or, when `utf8Bytes` is set, the
  // valid UTF-8 bytes whose conversion to GB18030 is the decoded text: not empty, whole
  // characters, ending before the file's first zero byte.
  std::string_view text;
  int encoding = 0;  // as in DecodedText
  bool utf8Bytes = false;
};

// LoadTextFile without copying the content out of the reading and converting buffers,
// which are reused from file to file. With Utf8Content::KeepBytes, content whose decoded
// text would be converted from valid UTF-8 is not converted (utf8Bytes set).
TextView LoadTextView(const std::string& path, Utf8Content utf8,
                      std::int64_t sizeLimit = kTextFileSizeLimit);

// The charset of the first <meta> chunk of the HTML head that declares UTF-8,
// Big5-HKSCS or Big5; nullopt otherwise.
std::optional<TextEncoding> FindMetaCharset(std::string_view text);

}  // namespace tarnwick
