#include "text/ascii_search.h"

#include <algorithm>
#include <cstring>

namespace tarnwick {
namespace {

unsigned char FoldAscii(unsigned char byte) {
  return byte >= 'A' && byte <= 'Z' ? static_cast<unsigned char>(byte + ('a' - 'A')) : byte;
}

bool EqualIgnoringAsciiCase(const char* a, std::string_view b) {
  for (std::size_t i = 0; i < b.size(); ++i) {
    if (FoldAscii(static_cast<unsigned char>(a[i])) != FoldAscii(static_cast<unsigned char>(b[i])))
      return false;
  }
  return true;
}

// The next place at or after `at` (and not after `last`) of `byte`, or npos.
std::size_t NextOf(std::string_view text, char byte, std::size_t at, std::size_t last) {
  const void* hit = std::memchr(text.data() + at, byte, last - at + 1);
  return hit == nullptr ? std::string_view::npos
                        : static_cast<std::size_t>(static_cast<const char*>(hit) - text.data());
}

}  // namespace

std::size_t FindIgnoringAsciiCase(std::string_view text, std::string_view needle,
                                  std::size_t from) {
  if (from > text.size() || needle.size() > text.size() - from) return std::string_view::npos;
  if (needle.empty()) return from;

  const std::size_t last = text.size() - needle.size();
  const auto first = static_cast<unsigned char>(needle[0]);
  const char lower = static_cast<char>(FoldAscii(first));
  const char upper = lower >= 'a' && lower <= 'z' ? static_cast<char>(lower - ('a' - 'A')) : lower;
  // memchr skips to the places where the first byte occurs, in each of its cases; the
  // next place of each case is remembered, so neither scan covers the text twice.
  std::size_t lowerAt = NextOf(text, lower, from, last);
  std::size_t upperAt = upper == lower ? std::string_view::npos : NextOf(text, upper, from, last);
  for (;;) {
    const std::size_t at = std::min(lowerAt, upperAt);
    if (at == std::string_view::npos) return at;
    if (EqualIgnoringAsciiCase(text.data() + at + 1, needle.substr(1))) return at;
    if (at == last) return std::string_view::npos;
    if (at == lowerAt) lowerAt = NextOf(text, lower, at + 1, last);
    if (at == upperAt) upperAt = NextOf(text, upper, at + 1, last);
  }
}

}  // namespace tarnwick
