#include "text/ascii_search.h"

#include <cstring>

namespace tarnwick {
namespace {

unsigned char FoldAscii(unsigned char byte) {
  return byte >= 'A' && byte <= 'Z' ? static_cast<unsigned char>(byte + ('a' - 'A')) : byte;
}

bool IsAsciiLetter(unsigned char byte) { return FoldAscii(byte) >= 'a' && FoldAscii(byte) <= 'z'; }

bool EqualIgnoringAsciiCase(const char* a, std::string_view b) {
  for (std::size_t i = 0; i < b.size(); ++i) {
    if (FoldAscii(static_cast<unsigned char>(a[i])) != FoldAscii(static_cast<unsigned char>(b[i])))
      return false;
  }
  return true;
}

}  // namespace

std::size_t FindIgnoringAsciiCase(std::string_view text, std::string_view needle,
                                  std::size_t from) {
  if (from > text.size() || needle.size() > text.size() - from) return std::string_view::npos;
  if (needle.empty()) return from;

  const std::size_t last = text.size() - needle.size();
  const auto first = static_cast<unsigned char>(needle[0]);
  // A needle that starts with a non-letter (as "<meta" does) lets memchr skip ahead.
  if (!IsAsciiLetter(first)) {
    std::size_t at = from;
    while (at <= last) {
      const void* hit = std::memchr(text.data() + at, first, last - at + 1);
      if (hit == nullptr) return std::string_view::npos;
      at = static_cast<std::size_t>(static_cast<const char*>(hit) - text.data());
      if (EqualIgnoringAsciiCase(text.data() + at + 1, needle.substr(1))) return at;
      ++at;
    }
    return std::string_view::npos;
  }
  for (std::size_t at = from; at <= last; ++at) {
    if (EqualIgnoringAsciiCase(text.data() + at, needle)) return at;
  }
  return std::string_view::npos;
}

}  // namespace tarnwick
