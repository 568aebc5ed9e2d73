#pragma once
// What 选择框清除网页标签 and 选择框清除空行空格 take out of a file's decoded text
// (GB18030) as it streams past: web-page tags, and white space. The length filter's
// character count and the duplicate filter's text keys take the text through the same
// rules.

#include <cstring>
#include <string_view>
#include <utility>

namespace tarnwick {

// The white space 选择框清除空行空格 takes out: space, tab, LF, VT, FF and CR. None of them
// is ever a byte of a double-byte character.
inline bool IsStrippedSpace(char byte) { return byte == ' ' || (byte >= '\t' && byte <= '\r'); }

// Hands what lies outside web-page tags on to a sink, a value type with
// Take(std::string_view) whose copy carries its whole state.
//
// A tag runs from a «<» to the nearest «>» after the character that follows it (which
// may itself be a «>»), across line breaks. Neither byte is ever part of a double-byte
// character, and no double-byte character holds a «>», so bytes serve. Whether a «<»
// opens a tag is known only once a «>» follows, perhaps much later: the text from the
// «<» goes to the sink as it comes, in case none does, and the sink is put back to the
// copy taken before the «<» when one does. So nothing of the text is kept, whatever its
// length.
template <typename Sink>
class TagStrip {
 public:
  // Starts a text, with `sink` as the sink.
  void Reset(Sink sink) {
    tag_ = Tag::Outside;
    sink_ = std::move(sink);
  }
  // Starts a text with the sink as it is (the caller starts it through Output()).
  void Restart() { tag_ = Tag::Outside; }
  void Take(std::string_view piece) {
    while (!piece.empty()) {
      if (tag_ == Tag::AfterOpen) {
        sink_.Take(piece.substr(0, 1));
        piece.remove_prefix(1);
        tag_ = Tag::Inside;
        continue;
      }
      const char wanted = tag_ == Tag::Outside ? '<' : '>';
      const void* found = std::memchr(piece.data(), wanted, piece.size());
      if (found == nullptr) {
        sink_.Take(piece);
        return;
      }
      const auto at = static_cast<std::size_t>(static_cast<const char*>(found) - piece.data());
      if (tag_ == Tag::Outside) {
        sink_.Take(piece.substr(0, at));
        beforeTag_ = sink_;
        sink_.Take(piece.substr(at, 1));
        tag_ = Tag::AfterOpen;
      } else {
        sink_ = beforeTag_;
        tag_ = Tag::Outside;
      }
      piece.remove_prefix(at + 1);
    }
  }
  Sink& Output() { return sink_; }
  const Sink& Output() const { return sink_; }

 private:
  enum class Tag { Outside, AfterOpen, Inside };

  Tag tag_ = Tag::Outside;
  Sink sink_{};
  Sink beforeTag_{};
};

}  // namespace tarnwick
