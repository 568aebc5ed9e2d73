#include "text/path_display.h"

#include <optional>

#include "platform/iconv_converter.h"
#include "text/program_text.h"

namespace tarnwick {
namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD in UTF-8

bool IsUtf8(std::string_view bytes) {
  return IsAscii(bytes) || platform::ConvertStrict(bytes, "UTF-8", "UTF-16LE");
}

std::string PartText(std::string_view part) {
  if (IsUtf8(part)) return std::string(part);
  if (std::optional<std::string> decoded = platform::ConvertStrict(part, "GB18030", "UTF-8"))
    return *decoded;
  return platform::ConvertLenient(part, "UTF-8", "UTF-8", kReplacement);
}

}  // namespace

std::string PathDisplayUtf8(std::string_view bytes) {
  // A GBK name may sit in a folder whose name is UTF-8, so a path that is not UTF-8 as a
  // whole is decoded part by part.
  if (IsUtf8(bytes)) return std::string(bytes);
  std::string shown;
  for (std::size_t start = 0;;) {
    const std::size_t slash = bytes.find('/', start);
    shown += PartText(bytes.substr(start, slash - start));
    if (slash == std::string_view::npos) return shown;
    shown += '/';
    start = slash + 1;
  }
}

}  // namespace tarnwick
