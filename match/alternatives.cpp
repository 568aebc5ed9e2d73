#include "match/match_mode.h"

#include "match/gb18030_chars.h"

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

}  // namespace tarnwick
