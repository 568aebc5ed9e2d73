#include "text/utf8_pieces.h"

namespace tarnwick {
namespace {

bool IsContinuation(char byte) { return (static_cast<unsigned char>(byte) & 0xC0) == 0x80; }

std::size_t SequenceLength(char lead) {
  const auto byte = static_cast<unsigned char>(lead);
  if (byte >= 0xF0) return 4;
  if (byte >= 0xE0) return 3;
  if (byte >= 0xC0) return 2;
  return 1;
}

}  // namespace

bool Utf8Pieces::Take(std::string_view text, TextConsumer& sink) {
  bool settled = false;
  if (!kept_.empty()) {
    // The kept character takes the continuation bytes that follow it.
    const std::size_t length = SequenceLength(kept_[0]);
    std::size_t taken = 0;
    while (kept_.size() < length && taken < text.size() && IsContinuation(text[taken]))
      kept_ += text[taken++];
    if (kept_.size() < length && taken == text.size()) return false;
    settled = sink.Take(kept_);
    kept_.clear();
    text.remove_prefix(taken);
    if (settled) return true;
  }
  // The last character, when the text ends inside it.
  std::size_t start = text.size();
  while (start > 0 && text.size() - start < 3 && IsContinuation(text[start - 1])) --start;
  if (start > 0 && start - 1 + SequenceLength(text[start - 1]) > text.size()) {
    kept_.assign(text.substr(start - 1));
    text.remove_suffix(text.size() - (start - 1));
  }
  if (!text.empty()) settled = sink.Take(text);
  return settled;
}

bool Utf8Pieces::Finish(TextConsumer& sink) {
  if (kept_.empty()) return false;
  const bool settled = sink.Take(kept_);
  kept_.clear();
  return settled;
}

}  // namespace tarnwick
