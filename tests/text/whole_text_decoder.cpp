#include "tests/text/whole_text_decoder.h"

#include <array>
#include <optional>
#include <string>

#include "platform/iconv_converter.h"

namespace tarnwick::testing {
namespace {

char Fold(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c; }

std::size_t Find(std::string_view text, std::string_view needle, std::size_t from = 0) {
  for (std::size_t at = from; at + needle.size() <= text.size(); ++at) {
    std::size_t i = 0;
    while (i < needle.size() && Fold(text[at + i]) == Fold(needle[i])) ++i;
    if (i == needle.size()) return at;
  }
  return std::string_view::npos;
}

// Reading as text: a byte at or above 0x80 takes the next one unless that is zero; the
// text ends before a 0x00 or 0x1A that starts a character, and before a first byte
// followed by zero or by nothing.
std::size_t ReadAsText(std::string_view bytes) {
  std::size_t i = 0;
  while (i < bytes.size()) {
    const auto byte = static_cast<unsigned char>(bytes[i]);
    if (byte < 0x80) {
      if (byte == 0x00 || byte == 0x1A) return i;
      ++i;
      continue;
    }
    if (i + 1 >= bytes.size() || bytes[i + 1] == '\0') return i;
    i += 2;
  }
  return bytes.size();
}

std::optional<TextEncoding> DeclaredIn(std::string_view chunk) {
  const std::array<std::pair<TextEncoding, const char*>, 3> lists{{
      {TextEncoding::Utf8, "UTF-8"},
      {TextEncoding::Big5Hkscs, "Big5-HKSCS"},
      {TextEncoding::Big5, "Big5"},
  }};
  for (const auto& [encoding, name] : lists) {
    for (const std::string& form :
         {std::string("charset=") + name, std::string("charset=\"") + name + "\"",
          std::string("charset='") + name + "'"}) {
      if (Find(chunk, form) != std::string_view::npos) return encoding;
    }
  }
  return std::nullopt;
}

std::optional<TextEncoding> MetaCharset(std::string_view text) {
  std::string_view head = text;
  const std::size_t open = Find(text, "<head>");
  if (open != std::string_view::npos) {
    const std::size_t close = Find(text, "</head>", open + 6);
    if (close != std::string_view::npos) head = text.substr(open + 6, close - open - 6);
  }
  std::size_t position = 0;
  for (;;) {
    const std::size_t meta = Find(head, "<meta", position);
    if (meta == std::string_view::npos) return std::nullopt;
    const std::size_t end = head.find('>', meta + 5);
    if (end == std::string_view::npos || end == meta + 5) return std::nullopt;
    if (auto declared = DeclaredIn(head.substr(meta + 5, end - meta - 5))) return declared;
    position = end + 1;
  }
}

std::string BeforeZero(const std::string& text) { return text.substr(0, text.find('\0')); }

DecodedText Decoded(std::string text, TextEncoding encoding) {
  return {std::move(text), static_cast<int>(encoding)};
}

}  // namespace

std::optional<TextEncoding> WholeTextMetaCharset(std::string_view text) {
  return MetaCharset(text);
}

std::size_t WholeTextReadAsTextLength(std::string_view bytes) { return ReadAsText(bytes); }

DecodedText DecodeWholeBytes(std::string_view bytes) {
  TextEncoding encoding = TextEncoding::Ansi;
  std::size_t start = 0;
  if (bytes.starts_with("\xEF\xBB\xBF")) {
    encoding = TextEncoding::Utf8;
    start = 3;
  } else if (bytes.starts_with("\xFF\xFE")) {
    encoding = TextEncoding::Unicode;
    start = 2;
  } else if (bytes.starts_with("\xFE\xFF")) {
    encoding = TextEncoding::UnicodeBE;
    start = 2;
  } else if (auto declared = MetaCharset(bytes.substr(0, ReadAsText(bytes)))) {
    encoding = *declared;
  }
  const std::string_view content = bytes.substr(start);
  std::string text;
  if (encoding == TextEncoding::Ansi) {
    if (auto converted = platform::ConvertStrict(content, "UTF-8", "GB18030")) {
      text = BeforeZero(*converted);
      if (!text.empty() && text.size() < content.size()) encoding = TextEncoding::Utf8;
    }
  } else {
    const char* name = ConversionName(encoding);
    if (auto converted = platform::ConvertStrict(content, name, "GB18030"))
      text = BeforeZero(*converted);
    if (text.empty()) {
      std::string_view lenientInput = content;
      if (encoding == TextEncoding::Big5 || encoding == TextEncoding::Big5Hkscs)
        lenientInput = content.substr(0, content.find('\0'));
      text = BeforeZero(platform::ConvertLenient(lenientInput, name, "GB18030", "?"));
    }
  }
  if (text.empty())
    return Decoded(std::string(bytes.substr(0, ReadAsText(bytes))), TextEncoding::Ansi);
  return Decoded(std::move(text), encoding);
}

}  // namespace tarnwick::testing
