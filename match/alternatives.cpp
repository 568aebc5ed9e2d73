#include "match/alternatives.h"

#include "match/gb18030_chars.h"
#include "match/literal_search.h"

namespace tarnwick {

std::vector<std::string_view> SplitAlternatives(std::string_view pattern, TextForm form) {
  std::vector<std::string_view> pieces;
  std::size_t pieceStart = 0;
  std::size_t pos = 0;
  while (pos < pattern.size()) {
    if (pattern[pos] == '|') {
      pieces.push_back(pattern.substr(pieceStart, pos - pieceStart));
      pieceStart = ++pos;
      continue;
    }
    pos += form == TextForm::Gb18030 ? GbCharLength(pattern, pos) : 1;
  }
  if (pieceStart < pattern.size()) pieces.push_back(pattern.substr(pieceStart));
  return pieces;
}

bool FindAnyAlternative(std::string_view text, std::string_view pattern, TextForm form) {
  const std::vector<std::string_view> pieces = SplitAlternatives(pattern, form);
  if (pieces.empty()) return true;
  LiteralSearch search(text, form);
  for (const std::string_view piece : pieces) {
    if (piece.empty() ? !text.empty() : search.Contains(piece)) return true;
  }
  return false;
}

}  // namespace tarnwick
