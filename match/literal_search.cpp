#include "match/literal_search.h"

#include <string.h>  // memmem

#include <algorithm>
#include <cstring>
#include <string>

#include "match/byte_commonness.h"
#include "match/gb18030_chars.h"

namespace tarnwick {
namespace {

constexpr std::size_t kNone = std::string_view::npos;

bool IsAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 0x20) : c; }
char AsciiUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 0x20) : c; }

// The byte of a piece that the scan looks for: its least common one. A letter is looked
// for in both cases, which costs a second scan.
struct Anchor {
  std::size_t offset = 0;
  char lower = 0;
  char upper = 0;
};

Anchor ChooseAnchor(std::string_view piece) {
  Anchor anchor;
  int best = 1 << 10;
  for (std::size_t i = 0; i < piece.size(); ++i) {
    const char c = AsciiLower(piece[i]);
    const int score = kByteCommonness[static_cast<unsigned char>(c)] + (IsAsciiLetter(c) ? 10 : 0);
    if (score < best) {
      best = score;
      anchor = {i, c, AsciiUpper(c)};
    }
  }
  return anchor;
}

// Walks through the places where the anchor byte occurs, with memchr; for a letter, the
// next place of each case is remembered so neither scan runs over the text twice.
class AnchorScan {
 public:
  AnchorScan(std::string_view text, const Anchor& anchor)
      : text_(text), lower_(anchor.lower), upper_(anchor.upper) {
    lowerAt_ = Find(lower_, 0);
    upperAt_ = lower_ == upper_ ? kNone : Find(upper_, 0);
  }

  // The first place at or after from, or kNone.
  std::size_t Next(std::size_t from) {
    if (lowerAt_ < from) lowerAt_ = Find(lower_, from);
    if (upperAt_ < from) upperAt_ = Find(upper_, from);
    return std::min(lowerAt_, upperAt_);
  }

 private:
  std::size_t Find(char byte, std::size_t from) const {
    if (from >= text_.size()) return kNone;
    const void* hit = std::memchr(text_.data() + from, byte, text_.size() - from);
    return hit == nullptr ? kNone
                          : static_cast<std::size_t>(static_cast<const char*>(hit) - text_.data());
  }

  std::string_view text_;
  char lower_;
  char upper_;
  std::size_t lowerAt_;
  std::size_t upperAt_;
};

bool SameIgnoringAsciiCase(const char* a, const char* b, std::size_t length) {
  for (std::size_t i = 0; i < length; ++i) {
    if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
  }
  return true;
}

bool HasAsciiLetter(std::string_view text) {
  return std::any_of(text.begin(), text.end(), IsAsciiLetter);
}

// Every ASCII letter byte lower-cased, wherever it stands; a trail byte of a double-byte
// character too, which OccurrenceCheck then compares exactly again.
void FoldAsciiInto(std::string_view text, char* out) {
  for (std::size_t i = 0; i < text.size(); ++i) out[i] = AsciiLower(text[i]);
}

std::string FoldAscii(std::string_view text) {
  std::string folded(text.size(), '\0');
  FoldAsciiInto(text, folded.data());
  return folded;
}

// Decides whether a place where the piece's bytes occur (ASCII case aside) is a match: it
// must start and end on character boundaries, and its multi-byte characters must be the
// piece's exactly (only single-byte letters ignore case). Places come in increasing order.
// In UTF-8 both hold at every such place: a lead byte never equals a trail byte, and
// case folding leaves bytes at or above 0x80 alone.
class OccurrenceCheck {
 public:
  OccurrenceCheck(std::string_view text, std::string_view piece, TextForm form)
      : text_(text), piece_(piece), form_(form) {}

  // True for a match; otherwise *next is the first place where a match could start.
  bool IsMatch(std::size_t at, std::size_t* next) {
    if (form_ == TextForm::Utf8) {
      *next = at + 1;
      return true;
    }
    boundary_ = GbBoundaryAtOrAfter(text_, boundary_, at);
    if (boundary_ != at) {
      *next = boundary_;
      return false;
    }
    *next = at + 1;
    const std::size_t end = at + piece_.size();
    for (std::size_t pos = at; pos < end;) {
      const std::size_t length = GbCharLength(text_, pos);
      if (length > 1 && (pos + length > end ||
                         std::memcmp(text_.data() + pos, piece_.data() + (pos - at), length))) {
        return false;
      }
      pos += length;
    }
    return true;
  }

 private:
  std::string_view text_;
  std::string_view piece_;
  TextForm form_;
  std::size_t boundary_ = 0;  // the last character boundary reached
};

// memmem of needle (the piece, or the piece folded) in haystack (the text, or the text
// folded), from start on.
bool FindBySubstring(OccurrenceCheck& check, std::string_view haystack, std::string_view needle,
                     std::size_t start) {
  while (start + needle.size() <= haystack.size()) {
    const void* hit =
        memmem(haystack.data() + start, haystack.size() - start, needle.data(), needle.size());
    if (hit == nullptr) return false;
    const auto at = static_cast<std::size_t>(static_cast<const char*>(hit) - haystack.data());
    if (check.IsMatch(at, &start)) return true;
  }
  return false;
}

enum class AnchorScanResult { Found, NotFound, AnchorTooCommon };

// Scans with memchr for the piece's least common byte, which is fastest while that byte is
// rare in the text. Once it proves common (false hits closer than kDenseGap bytes on
// average) a piece of three bytes or more is better served by memmem: the scan stops and
// *start tells where to go on. memmem is slow on shorter needles; they stay here.
AnchorScanResult ScanForAnchor(std::string_view text, std::string_view piece,
                               OccurrenceCheck& check, std::size_t* start) {
  constexpr std::size_t kSettleHits = 64;
  constexpr std::size_t kDenseGap = 128;
  const Anchor anchor = ChooseAnchor(piece);
  AnchorScan scan(text, anchor);
  const std::size_t lastStart = text.size() - piece.size();
  std::size_t falseHits = 0;
  while (*start <= lastStart) {
    if (piece.size() >= 3 && falseHits > kSettleHits && falseHits * kDenseGap > *start) {
      return AnchorScanResult::AnchorTooCommon;
    }
    const std::size_t hit = scan.Next(*start + anchor.offset);
    if (hit == kNone || hit - anchor.offset > lastStart) return AnchorScanResult::NotFound;
    const std::size_t at = hit - anchor.offset;
    if (SameIgnoringAsciiCase(text.data() + at, piece.data(), piece.size()) &&
        check.IsMatch(at, start)) {
      return AnchorScanResult::Found;
    }
    *start = std::max(*start, at + 1);
    ++falseHits;
  }
  return AnchorScanResult::NotFound;
}

// The buffer of LiteralSearch::FoldedText, kept between searches unless it grew big.
constexpr std::size_t kKeptCapacity = 64U << 20;
std::string& FoldBuffer() {
  thread_local std::string buffer;
  return buffer;
}

}  // namespace

LiteralSearch::~LiteralSearch() {
  if (FoldBuffer().capacity() > kKeptCapacity) std::string().swap(FoldBuffer());
}

std::string_view LiteralSearch::FoldedText() {
  std::string& buffer = FoldBuffer();
  if (!folded_) {
    buffer.resize(text_.size());
    FoldAsciiInto(text_, buffer.data());
    folded_ = true;
  }
  return {buffer.data(), text_.size()};
}

bool LiteralSearch::Contains(std::string_view piece) {
  if (piece.empty() || piece.size() > text_.size()) return false;
  OccurrenceCheck check(text_, piece, form_);
  std::size_t start = 0;
  switch (ScanForAnchor(text_, piece, check, &start)) {
    case AnchorScanResult::Found:
      return true;
    case AnchorScanResult::NotFound:
      return false;
    case AnchorScanResult::AnchorTooCommon:
      break;
  }
  if (!HasAsciiLetter(piece)) return FindBySubstring(check, text_, piece, start);
  return FindBySubstring(check, FoldedText(), FoldAscii(piece), start);
}

}  // namespace tarnwick
