#include "text/text_decoder.h"

#include <optional>

#include "text/ascii_search.h"
#include "text/gb18030_conversion.h"
#include "text/program_text.h"
#include "text/table_conversion.h"
#include "text/text_scan.h"

namespace tarnwick {
namespace {

struct Detection {
  TextEncoding encoding;
  std::size_t start;  // where the content begins, past a byte-order mark
};

bool StartsWith(std::string_view bytes, std::string_view mark) {
  return bytes.substr(0, mark.size()) == mark;
}

Detection Detect(std::string_view bytes) {
  if (StartsWith(bytes, "\xEF\xBB\xBF")) return {TextEncoding::Utf8, 3};
  if (StartsWith(bytes, "\xFF\xFE")) return {TextEncoding::Unicode, 2};
  if (StartsWith(bytes, "\xFE\xFF")) return {TextEncoding::UnicodeBE, 2};
  // The declaration is looked for in the file read as text; a file without any "<meta"
  // cannot declare one, which spares the scan for most files.
  if (FindIgnoringAsciiCase(bytes, "<meta") != std::string_view::npos) {
    if (auto declared = FindMetaCharset(bytes.substr(0, ReadAsTextLength(bytes))))
      return {*declared, 0};
  }
  return {TextEncoding::Ansi, 0};
}

// The text ends at its first zero byte.
std::string_view BeforeZero(std::string_view text) { return text.substr(0, text.find('\0')); }

TextView Decoded(std::string_view text, TextEncoding encoding) {
  return {text, static_cast<int>(encoding), false};
}

// The raw read every failed conversion falls back on: the file read as text from its
// very first byte, mark included.
TextView ReadAsAnsi(std::string_view bytes) {
  return Decoded(bytes.substr(0, ReadAsTextLength(bytes)), TextEncoding::Ansi);
}

// ASCII content read from the start is its own text in both UTF-8 and GB18030, so it
// needs no conversion, only the zero-byte cut and the UTF-8 report that goes with it.
TextView DecodeAscii(std::string_view bytes, TextEncoding encoding) {
  const std::string_view text = BeforeZero(bytes);
  // A cut text is shorter than what was read, which a UTF-8 reading reports as UTF-8.
  if (encoding == TextEncoding::Ansi && text.size() < bytes.size()) encoding = TextEncoding::Utf8;
  // Empty here means the file is empty or begins with a zero byte; the raw read of such
  // a file is empty too, and it reports "ANSI".
  if (text.empty()) encoding = TextEncoding::Ansi;
  return Decoded(text, encoding);
}

// UTF-8 content (`encoding` Ansi or Utf8) handed back unconverted when its conversion
// would succeed and give a text that is not empty: then the decoded text is exactly the
// conversion of the bytes before the first zero. The encoding is reported as the
// conversion would report it. Nullopt where decoding must take its ordinary course.
std::optional<TextView> KeepValidUtf8(std::string_view content, TextEncoding encoding) {
  const std::string_view kept = BeforeZero(content);
  if (kept.empty()) return std::nullopt;
  // A zero byte never stands inside a UTF-8 character, so the content converts exactly
  // when both sides of the cut do.
  const std::optional<std::size_t> textLength = TableConvertedLength(kept);
  if (!textLength || !TableConvertedLength(content.substr(kept.size()))) return std::nullopt;
  if (encoding == TextEncoding::Ansi && *textLength < content.size()) encoding = TextEncoding::Utf8;
  return TextView{kept, static_cast<int>(encoding), true};
}

}  // namespace

TextView DecodeTextView(std::string_view bytes, Utf8Content utf8, ByteBuffer& converted) {
  const Detection detection = Detect(bytes);
  TextEncoding encoding = detection.encoding;
  const bool readsAsUtf8 = encoding == TextEncoding::Ansi || encoding == TextEncoding::Utf8;
  if (detection.start == 0 && readsAsUtf8 && IsAscii(bytes)) return DecodeAscii(bytes, encoding);

  const std::string_view content = bytes.substr(detection.start);
  if (readsAsUtf8 && utf8 == Utf8Content::KeepBytes) {
    if (auto kept = KeepValidUtf8(content, encoding)) return *kept;
  }
  std::string_view text;
  if (encoding == TextEncoding::Ansi) {
    // Content without a mark or a declaration is tested for UTF-8: when it converts,
    // and the text comes out shorter than the bytes, it is reported as UTF-8.
    if (StrictToGb18030(content, TextEncoding::Utf8, converted)) {
      text = BeforeZero(converted.view());
      if (!text.empty() && text.size() < content.size()) encoding = TextEncoding::Utf8;
    }
  } else {
    if (StrictToGb18030(content, encoding, converted)) text = BeforeZero(converted.view());
    if (text.empty()) {
      converted.assign(LenientToGb18030(content, encoding));
      text = BeforeZero(converted.view());
    }
  }
  if (text.empty()) return ReadAsAnsi(bytes);
  return Decoded(text, encoding);
}

DecodedText DecodeTextBytes(std::string bytes) {
  ByteBuffer converted;
  const TextView decoded = DecodeTextView(bytes, Utf8Content::Convert, converted);
  return {std::string(decoded.text), decoded.encoding};
}

}  // namespace tarnwick
