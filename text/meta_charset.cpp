#include <algorithm>
#include <array>

#include "text/ascii_search.h"
#include "text/meta_scan.h"
#include "text/text_loader.h"

namespace tarnwick {
namespace {

constexpr std::string_view kMeta = "<meta";
constexpr std::string_view kHeadOpen = "<head>";
constexpr std::string_view kHeadClose = "</head>";
constexpr std::string_view kCharset = "charset";
// Bytes of the last piece kept to find a word that runs on into the next: one less than
// the longest word looked for ("charset=\"Big5-HKSCS\"", 20 bytes), and some to spare.
constexpr std::size_t kKeep = 24;

// Each declaration is recognised unquoted, in double quotes and in single quotes, by the
// part after "charset" (letter case ignored).
struct CharsetDeclaration {
  TextEncoding encoding;
  std::array<std::string_view, 3> endings;
};

// Tried in this order: "charset=Big5-HKSCS" also contains "charset=Big5".
constexpr std::array<CharsetDeclaration, 3> kDeclarations{{
    {TextEncoding::Utf8, {"=UTF-8", "=\"UTF-8\"", "='UTF-8'"}},
    {TextEncoding::Big5Hkscs, {"=Big5-HKSCS", "=\"Big5-HKSCS\"", "='Big5-HKSCS'"}},
    {TextEncoding::Big5, {"=Big5", "=\"Big5\"", "='Big5'"}},
}};

using Segment = MetaCharsetScan::Segment;

std::uint64_t EndOf(const Segment& segment) { return segment.base + segment.bytes.size(); }

// The first place at or after `from` where `word` starts within the segment (and before
// its `startsBefore`), letter case ignored.
std::optional<std::uint64_t> FindIn(const Segment& segment, std::string_view word,
                                    std::uint64_t from) {
  if (from >= segment.startsBefore || from >= EndOf(segment)) return std::nullopt;
  const std::size_t local = from > segment.base ? static_cast<std::size_t>(from - segment.base) : 0;
  const std::size_t at = FindIgnoringAsciiCase(segment.bytes, word, local);
  if (at == std::string_view::npos || segment.base + at >= segment.startsBefore)
    return std::nullopt;
  return segment.base + at;
}

// The segment cut at `end`: nothing from `end` on is part of it.
Segment CutAt(const Segment& segment, std::uint64_t end) {
  Segment cut = segment;
  if (end < EndOf(segment)) {
    cut.bytes = segment.bytes.substr(0, end > segment.base ? end - segment.base : 0);
    cut.startsBefore = std::min(cut.startsBefore, end);
  }
  return cut;
}

}  // namespace

void MetaCharsetScan::SectionScan::Start(std::uint64_t at) {
  *this = SectionScan();
  started_ = true;
  position_ = at;
}

void MetaCharsetScan::SectionScan::ScanForms(const Segment& segment, std::uint64_t from,
                                             std::uint64_t end) {
  for (;;) {
    const std::optional<std::uint64_t> at = FindIn(segment, kCharset, from);
    if (!at || *at >= end) return;
    const std::size_t local = static_cast<std::size_t>(*at - segment.base) + kCharset.size();
    const std::string_view after = segment.bytes.substr(local);
    for (std::size_t i = 0; i < kDeclarations.size(); ++i) {
      for (std::string_view ending : kDeclarations[i].endings) {
        if (after.size() >= ending.size() &&
            FindIgnoringAsciiCase(after.substr(0, ending.size()), ending) == 0) {
          declared_ |= 1u << i;
        }
      }
    }
    from = *at + 1;
  }
}

void MetaCharsetScan::SectionScan::Scan(const Segment& segment) {
  if (!started_) return;
  while (state_ != State::Done) {
    if (state_ == State::SeekMeta) {
      const std::optional<std::uint64_t> meta = FindIn(segment, kMeta, position_);
      if (!meta) return;
      state_ = State::InChunk;
      position_ = *meta + kMeta.size();
      declared_ = 0;
    }
    // In the kept bytes every ">" has been seen already; only words that run on into
    // the piece are new there.
    std::optional<std::uint64_t> close;
    if (!segment.junction && position_ < EndOf(segment)) {
      const std::size_t local =
          position_ > segment.base ? static_cast<std::size_t>(position_ - segment.base) : 0;
      const std::size_t at = segment.bytes.find('>', local);
      if (at != std::string_view::npos) close = segment.base + at;
    }
    ScanForms(segment, position_, close ? *close : EndOf(segment));
    if (!close) return;
    // A tag without anything inside ends the search.
    if (*close == position_) {
      state_ = State::Done;
      return;
    }
    for (std::size_t i = 0; i < kDeclarations.size(); ++i) {
      if (declared_ & (1u << i)) {
        result_ = kDeclarations[i].encoding;
        state_ = State::Done;
        return;
      }
    }
    state_ = State::SeekMeta;
    position_ = *close + 1;
  }
}

void MetaCharsetScan::SectionScan::End() { state_ = State::Done; }

void MetaCharsetScan::Reset() {
  whole_.Start(0);
  head_ = SectionScan();
  openAt_.reset();
  closeAt_.reset();
  ended_ = false;
  length_ = 0;
  kept_.clear();
}

void MetaCharsetScan::ScanHead(const Segment& segment) {
  if (!openAt_) {
    openAt_ = FindIn(segment, kHeadOpen, 0);
    if (openAt_) head_.Start(*openAt_ + kHeadOpen.size());
  }
  if (openAt_ && !closeAt_) closeAt_ = FindIn(segment, kHeadClose, *openAt_ + kHeadOpen.size());
}

void MetaCharsetScan::Scan(const Segment& segment) {
  ScanHead(segment);
  whole_.Scan(segment);
  if (!head_.Started()) return;
  head_.Scan(closeAt_ ? CutAt(segment, *closeAt_) : segment);
  if (closeAt_) head_.End();
}

void MetaCharsetScan::Take(std::string_view piece, bool mayHoldTag) {
  if (Settled() || piece.empty()) return;
  if (!kept_.empty()) {
    junction_ = kept_;
    junction_.append(piece.substr(0, kKeep));
    Scan({junction_, length_ - kept_.size(), length_, true});
  }
  // The words looked for outside a chunk all start with «<».
  const bool waits = whole_.WaitsForTag() && (!head_.Started() || head_.WaitsForTag());
  if (!Settled() && (mayHoldTag || !waits)) Scan({piece, length_, length_ + piece.size(), false});
  length_ += piece.size();
  if (piece.size() >= kKeep) {
    kept_.assign(piece.substr(piece.size() - kKeep));
  } else {
    kept_.append(piece);
    if (kept_.size() > kKeep) kept_.erase(0, kept_.size() - kKeep);
  }
}

void MetaCharsetScan::End() {
  ended_ = true;
  whole_.End();
  head_.End();
}

std::optional<TextEncoding> MetaCharsetScan::Declared() const {
  return closeAt_ ? head_.Result() : whole_.Result();
}

std::optional<TextEncoding> FindMetaCharset(std::string_view text) {
  MetaCharsetScan scan;
  scan.Take(text);
  scan.End();
  return scan.Declared();
}

}  // namespace tarnwick
