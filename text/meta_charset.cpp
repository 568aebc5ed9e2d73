#include <array>

#include "text/ascii_search.h"
#include "text/text_loader.h"

namespace tarnwick {
namespace {

// Each declaration is recognised unquoted, in double quotes and in single quotes.
struct CharsetDeclaration {
  TextEncoding encoding;
  std::array<std::string_view, 3> forms;
};

// Big5-HKSCS comes before Big5: "charset=Big5-HKSCS" also contains "charset=Big5".
constexpr std::array<CharsetDeclaration, 3> kDeclarations{{
    {TextEncoding::Utf8, {"charset=UTF-8", "charset=\"UTF-8\"", "charset='UTF-8'"}},
    {TextEncoding::Big5Hkscs,
     {"charset=Big5-HKSCS", "charset=\"Big5-HKSCS\"", "charset='Big5-HKSCS'"}},
    {TextEncoding::Big5, {"charset=Big5", "charset=\"Big5\"", "charset='Big5'"}},
}};

std::optional<TextEncoding> DeclaredIn(std::string_view chunk) {
  for (const CharsetDeclaration& declaration : kDeclarations) {
    for (std::string_view form : declaration.forms) {
      if (FindIgnoringAsciiCase(chunk, form) != std::string_view::npos) return declaration.encoding;
    }
  }
  return std::nullopt;
}

// The text between "<head>" and the first "</head>" after it; the whole text when
// either is missing.
std::string_view HeadSection(std::string_view text) {
  constexpr std::string_view kOpen = "<head>";
  const std::size_t open = FindIgnoringAsciiCase(text, kOpen);
  if (open == std::string_view::npos) return text;
  const std::size_t start = open + kOpen.size();
  const std::size_t close = FindIgnoringAsciiCase(text, "</head>", start);
  if (close == std::string_view::npos) return text;
  return text.substr(start, close - start);
}

}  // namespace

std::optional<TextEncoding> FindMetaCharset(std::string_view text) {
  constexpr std::string_view kMeta = "<meta";
  const std::string_view head = HeadSection(text);
  std::size_t position = 0;
  for (;;) {
    const std::size_t meta = FindIgnoringAsciiCase(head, kMeta, position);
    if (meta == std::string_view::npos) return std::nullopt;
    const std::size_t start = meta + kMeta.size();
    const std::size_t end = head.find('>', start);
    // A tag without its ">" or with nothing inside ends the search.
    if (end == std::string_view::npos || end == start) return std::nullopt;
    if (auto declared = DeclaredIn(head.substr(start, end - start))) return declared;
    position = end + 1;
  }
}

}  // namespace tarnwick
