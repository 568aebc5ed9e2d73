#pragma once
// The text the duplicate filter's text keys (文本, 相似) are made of: a file's decoded
// text as the content filter sees it (GB18030, the encoding detected per file), with a
// byte-order mark at its start dropped, every line break (CR LF, CR alone or LF alone)
// one LF, and, when 选择框清除网页标签 and 选择框清除空行空格 are ticked, web-page tags
// and white space taken out as the length filter takes them out. The same text in UTF-8
// with or without a mark, in GBK or in UTF-16, with LF or CR LF line ends, comes out as
// the same bytes.
//
// The normalised text goes to `Out`, piece by piece, and is never kept whole. `Out` is
// a value type whose copy carries its whole state (the tag rule puts it back to an
// earlier copy), with Start() (a text begins), Take(std::string_view) and Finish().

#include <cstring>
#include <string>
#include <string_view>

#include "engine/filters/tag_strip.h"
#include "text/text_consumer.h"

namespace tarnwick {

// Line breaks folded into one LF each, white space taken out when asked, before `Out`.
template <typename Out>
class FoldedLines {
 public:
  // A text begins: `Out` starts too.
  void Start(bool skipSpace) {
    skipSpace_ = skipSpace;
    afterCr_ = false;
    out_.Start();
  }

  void Take(std::string_view piece) {
    if (piece.empty()) return;
    if (skipSpace_) {
      TakeWithoutSpace(piece);
      return;
    }
    // A LF right after a CR belongs to it; the CR that ended the last piece counts too.
    if (afterCr_ && piece.front() == '\n') piece.remove_prefix(1);
    afterCr_ = false;
    while (!piece.empty()) {
      const void* found = std::memchr(piece.data(), '\r', piece.size());
      if (found == nullptr) {
        out_.Take(piece);
        return;
      }
      const auto at = static_cast<std::size_t>(static_cast<const char*>(found) - piece.data());
      out_.Take(piece.substr(0, at));
      out_.Take("\n");
      piece.remove_prefix(at + 1);
      if (piece.empty()) {
        afterCr_ = true;
      } else if (piece.front() == '\n') {
        piece.remove_prefix(1);
      }
    }
  }

  Out& Output() { return out_; }
  const Out& Output() const { return out_; }

 private:
  // Every line break is white space too: nothing is left to fold.
  void TakeWithoutSpace(std::string_view piece) {
    std::size_t runStart = 0;
    for (std::size_t i = 0; i < piece.size(); ++i) {
      if (!IsStrippedSpace(piece[i])) continue;
      if (i > runStart) out_.Take(piece.substr(runStart, i - runStart));
      runStart = i + 1;
    }
    if (runStart < piece.size()) out_.Take(piece.substr(runStart));
  }

  Out out_{};
  bool skipSpace_ = false;
  bool afterCr_ = false;  // the last byte taken was a CR
};

template <typename Out>
class NormalisedText final : public TextConsumer {
 public:
  // Tags go first, as in the length filter's count: "< >" is a tag, while a "<>" left by
  // taking out spaces is not.
  void Configure(bool stripTags, bool stripSpace) {
    stripTags_ = stripTags;
    stripSpace_ = stripSpace;
  }

  void Begin(TextForm /*form: always GB18030, TakesUtf8 is false*/) override {
    // Everything is started where it lies: a gram set is a few pages, too much to make
    // anew for every file.
    strip_.Restart();
    strip_.Output().Start(stripSpace_);
    head_.clear();
    atStart_ = true;
  }

  bool Take(std::string_view piece) override {
    if (atStart_) {
      // A mark may come split over the first pieces: the first four bytes are looked at
      // together.
      head_.append(piece);
      if (head_.size() < kLongestMark) return false;
      TakeHead();
      return false;
    }
    Pass(piece);
    return false;
  }

  void End() override {
    if (atStart_) TakeHead();
    Output().Finish();
  }

  Out& Output() { return strip_.Output().Output(); }

 private:
  static constexpr std::size_t kLongestMark = 4;

  // Drops a byte-order mark at the start of the text: U+FEFF in GB18030 (84 31 95 33),
  // or, in a file read raw because its marked content converted to nothing, the mark's
  // own bytes (EF BB BF, FF FE, FE FF).
  void TakeHead() {
    atStart_ = false;
    std::string_view head = head_;
    for (const std::string_view mark : {std::string_view("\x84\x31\x95\x33"),
                                        std::string_view("\xEF\xBB\xBF"),
                                        std::string_view("\xFF\xFE"), std::string_view("\xFE\xFF")}) {
      if (head.starts_with(mark)) {
        head.remove_prefix(mark.size());
        break;
      }
    }
    Pass(head);
  }

  void Pass(std::string_view piece) {
    if (piece.empty()) return;
    if (stripTags_) {
      strip_.Take(piece);
    } else {
      strip_.Output().Take(piece);
    }
  }

  bool stripTags_ = false;
  bool stripSpace_ = false;
  bool atStart_ = true;
  std::string head_;
  TagStrip<FoldedLines<Out>> strip_;
};

}  // namespace tarnwick
