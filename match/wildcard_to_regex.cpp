#include "match/wildcard_to_regex.h"

#include <string_view>

#include "text/gb18030_chars.h"

namespace tarnwick {
namespace {

constexpr std::string_view kEscaped = "\\^$+.{}[]=()\"";

// Translation of one single-byte character.
void AppendTranslated(std::string& out, char c) {
  if (c == '*') {
    out += ".*";
  } else if (c == '?') {
    out += ".?";
  } else {
    if (kEscaped.find(c) != std::string_view::npos) out += '\\';
    out += c;
  }
}

}  // namespace

std::string WildcardToRegex(std::string_view text, TextForm form) {
  std::string out;
  out.reserve(text.size() * 2);
  std::size_t pos = 0;
  while (pos < text.size()) {
    // Every byte of a UTF-8 sequence is 0x80 or above, so only GB18030 needs stepping.
    const std::size_t length = form == TextForm::Gb18030 ? GbCharLength(text, pos) : 1;
    if (length == 1) {
      AppendTranslated(out, text[pos]);
    } else {
      out.append(text.substr(pos, length));
    }
    pos += length;
  }
  return out;
}

}  // namespace tarnwick
