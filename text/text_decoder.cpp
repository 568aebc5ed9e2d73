#include "text/text_decoder.h"

#include "text/ascii_search.h"
#include "text/gb18030_conversion.h"
#include "text/program_text.h"
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
void CutAtZero(std::string& text) {
  const std::size_t zero = text.find('\0');
  if (zero != std::string::npos) text.resize(zero);
}

// The raw read every failed conversion falls back on: the file read as text from its
// very first byte, mark included.
DecodedText ReadAsAnsi(std::string& bytes) {
  bytes.resize(ReadAsTextLength(bytes));
  return {std::move(bytes), static_cast<int>(TextEncoding::Ansi)};
}

// ASCII content read from the start is its own text in both UTF-8 and GB18030, so it
// needs no conversion, only the zero-byte cut and the UTF-8 report that goes with it.
DecodedText DecodeAscii(std::string& bytes, TextEncoding encoding) {
  const std::size_t size = bytes.size();
  CutAtZero(bytes);
  // A cut text is shorter than what was read, which a UTF-8 reading reports as UTF-8.
  if (encoding == TextEncoding::Ansi && bytes.size() < size) encoding = TextEncoding::Utf8;
  // Empty here means the file is empty or begins with a zero byte; the raw read of such
  // a file is empty too, and it reports "ANSI".
  if (bytes.empty()) encoding = TextEncoding::Ansi;
  return {std::move(bytes), static_cast<int>(encoding)};
}

}  // namespace

DecodedText DecodeTextBytes(std::string bytes) {
  const Detection detection = Detect(bytes);
  TextEncoding encoding = detection.encoding;
  const bool readsAsUtf8 = encoding == TextEncoding::Ansi || encoding == TextEncoding::Utf8;
  if (detection.start == 0 && readsAsUtf8 && IsAscii(bytes)) return DecodeAscii(bytes, encoding);

  const std::string_view content = std::string_view(bytes).substr(detection.start);
  std::string text;
  if (encoding == TextEncoding::Ansi) {
    // Content without a mark or a declaration is tested for UTF-8: when it converts,
    // and the text comes out shorter than the bytes, it is reported as UTF-8.
    if (auto converted = StrictToGb18030(content, TextEncoding::Utf8)) {
      text = std::move(*converted);
      CutAtZero(text);
      if (!text.empty() && text.size() < content.size()) encoding = TextEncoding::Utf8;
    }
  } else {
    if (auto converted = StrictToGb18030(content, encoding)) text = std::move(*converted);
    CutAtZero(text);
    if (text.empty()) {
      text = LenientToGb18030(content, encoding);
      CutAtZero(text);
    }
  }
  if (text.empty()) return ReadAsAnsi(bytes);
  return {std::move(text), static_cast<int>(encoding)};
}

}  // namespace tarnwick
