#include "text/gb_pieces.h"

#include "text/gb18030_chars.h"

namespace tarnwick {

bool GbPieces::Take(std::string_view text, TextConsumer& sink) {
  bool settled = false;
  if (!kept_.empty()) {
    // The kept character is completed from the first bytes of `text`: a character is at
    // most four bytes, so eight more decide it unless `text` ends first.
    const std::size_t keptSize = kept_.size();
    kept_.append(text.substr(0, 8));
    const std::string_view joined = kept_;
    const std::size_t whole = GbWholeLength(joined);
    std::size_t end = 0;
    while (end < keptSize && end < whole) end += GbCharLength(joined, end);
    if (end < keptSize) {  // `text` was too short to decide: all of it is kept
      return false;
    }
    settled = sink.Take(joined.substr(0, end));
    text.remove_prefix(end - keptSize);
    kept_.clear();
    if (settled) return true;
  }
  const std::size_t whole = GbWholeLength(text);
  if (whole > 0) settled = sink.Take(text.substr(0, whole));
  kept_.assign(text.substr(whole));
  return settled;
}

bool GbPieces::Finish(TextConsumer& sink) {
  if (kept_.empty()) return false;
  const bool settled = sink.Take(kept_);
  kept_.clear();
  return settled;
}

}  // namespace tarnwick
