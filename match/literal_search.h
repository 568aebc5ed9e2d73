#pragma once
// The literal search of the Default match mode: one text of the program (GB18030) searched
// for pieces, character by character in meaning but fast in fact. The scan anchors on the
// piece's least common byte with memchr, or uses memmem where that byte proves common,
// and checks each place found against the text's character boundaries.

#include <string_view>

#include "match/regex_object.h"

namespace tarnwick {

class LiteralSearch {
 public:
  // text must outlive the search. In UTF-8 form (valid UTF-8 text, and pieces searched
  // in it valid UTF-8 too) every place where a piece's bytes occur starts and ends on
  // character boundaries, so none is checked.
  explicit LiteralSearch(std::string_view text, TextForm form = TextForm::Gb18030)
      : text_(text), form_(form) {}
  LiteralSearch(const LiteralSearch&) = delete;
  LiteralSearch& operator=(const LiteralSearch&) = delete;
  ~LiteralSearch();

  // True when piece (not empty) occurs in the text starting and ending on character
  // boundaries, its single-byte ASCII letters matching either case and every other byte
  // (trail bytes included) matching exactly.
  bool Contains(std::string_view piece);

 private:
  // The text with every ASCII letter byte lower-cased, made on first use. It lives in a
  // buffer that the next search on this thread reuses.
  std::string_view FoldedText();

  std::string_view text_;
  TextForm form_;
  bool folded_ = false;
};

}  // namespace tarnwick
