#include "settings/ini_layout.h"

#include <string>

namespace tarnwick {

bool AtLineStart(std::string_view bytes, std::size_t offset) {
  return offset == 0 || (offset >= 2 && bytes.substr(offset - 2, 2) == kLineEnd);
}

std::optional<std::size_t> FindSectionHeader(std::string_view bytes, std::string_view header,
                                             std::size_t from) {
  for (std::size_t at = bytes.find(header, from); at != std::string_view::npos;
       at = bytes.find(header, at + 1)) {
    if (AtLineStart(bytes, at)) return at;
  }
  return std::nullopt;
}

bool HeaderLineBetween(std::string_view bytes, std::size_t from, std::size_t to) {
  for (std::size_t lineEnd = bytes.find(kLineEnd, from);
       lineEnd != std::string_view::npos && lineEnd < to;
       lineEnd = bytes.find(kLineEnd, lineEnd + 1)) {
    const std::size_t lineStart = lineEnd + kLineEnd.size();
    if (lineStart >= bytes.size() || bytes[lineStart] != '[') continue;
    const std::size_t nextLineEnd = bytes.find(kLineEnd, lineStart);
    if (nextLineEnd != std::string_view::npos && bytes[nextLineEnd - 1] == ']') return true;
  }
  return false;
}

std::optional<ValueSpan> FindKeyValue(std::string_view bytes, std::size_t headerClose,
                                      std::string_view key) {
  std::string pattern;
  pattern.reserve(kLineEnd.size() + key.size() + 1);
  pattern.append(kLineEnd).append(key).push_back('=');
  const std::size_t keyLine = bytes.find(pattern, headerClose);
  if (keyLine == std::string_view::npos) return std::nullopt;
  if (HeaderLineBetween(bytes, headerClose, keyLine)) return std::nullopt;
  const std::size_t begin = keyLine + pattern.size();
  const std::size_t lineEnd = bytes.find(kLineEnd, begin);
  return ValueSpan{begin, lineEnd == std::string_view::npos ? bytes.size() : lineEnd};
}

}  // namespace tarnwick
