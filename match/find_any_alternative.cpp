#include "match/match_mode.h"

#include <string.h>  // memmem

#include <cstring>

#include "match/gb18030_chars.h"

namespace tarnwick {
namespace {

bool IsAsciiUpper(unsigned char c) { return static_cast<unsigned char>(c - 'A') < 26U; }

bool HasAsciiLetter(std::string_view text) {
  for (const char c : text) {
    if (IsAsciiUpper(static_cast<unsigned char>(c) & 0xDF)) return true;
  }
  return false;
}

// Lower-cases every ASCII letter byte, wherever it stands. A trail byte of a double-byte
// character is folded too; CharactersAgree puts those back to an exact comparison.
std::string FoldAsciiBytes(std::string_view text) {
  std::string folded(text.size(), '\0');
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    folded[i] = static_cast<char>(IsAsciiUpper(c) ? c + 0x20 : c);
  }
  return folded;
}

// text holds piece at pos up to the case of ASCII bytes, pos being a character boundary.
// True when the occurrence ends on a character boundary and every multi-byte character
// in it equals the piece's bytes exactly (only single-byte letters ignore case).
bool CharactersAgree(std::string_view text, std::size_t pos, std::string_view piece) {
  const std::size_t end = pos + piece.size();
  for (std::size_t at = pos; at < end;) {
    const std::size_t length = GbCharLength(text, at);
    if (length > 1 &&
        (at + length > end || std::memcmp(text.data() + at, piece.data() + (at - pos), length))) {
      return false;
    }
    at += length;
  }
  return true;
}

// Searches haystack (text, or text folded) for needle (piece, or piece folded) and checks
// each candidate against the characters of the original text.
bool FindPiece(std::string_view text, std::string_view haystack, std::string_view needle,
               std::string_view piece) {
  std::size_t boundary = 0;
  std::size_t from = 0;
  while (from + needle.size() <= haystack.size()) {
    const void* hit = memmem(haystack.data() + from, haystack.size() - from, needle.data(),
                             needle.size());
    if (hit == nullptr) return false;
    const auto at = static_cast<std::size_t>(static_cast<const char*>(hit) - haystack.data());
    boundary = GbBoundaryAtOrAfter(text, boundary, at);
    if (boundary != at) {
      from = boundary;  // the next candidate can only start at the next boundary
      continue;
    }
    if (CharactersAgree(text, at, piece)) return true;
    from = at + 1;
  }
  return false;
}

}  // namespace

bool FindAnyAlternative(std::string_view text, std::string_view pattern) {
  const std::vector<std::string_view> pieces = SplitAlternatives(pattern, TextForm::Gb18030);
  if (pieces.empty()) return true;
  std::string foldedText;  // folded on first need, then shared by every piece
  for (const std::string_view piece : pieces) {
    if (piece.empty()) {
      if (!text.empty()) return true;
      continue;
    }
    if (piece.size() > text.size()) continue;
    if (!HasAsciiLetter(piece)) {
      if (FindPiece(text, text, piece, piece)) return true;
      continue;
    }
    if (foldedText.empty()) foldedText = FoldAsciiBytes(text);
    if (FindPiece(text, foldedText, FoldAsciiBytes(piece), piece)) return true;
  }
  return false;
}

}  // namespace tarnwick
