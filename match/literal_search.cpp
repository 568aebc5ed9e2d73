#include "match/literal_search.h"

#include <algorithm>
#include <cstring>

#include "text/gb18030_chars.h"

namespace tarnwick {
namespace {

constexpr std::size_t kNone = std::string_view::npos;

bool IsAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 0x20) : c; }
char AsciiUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 0x20) : c; }

// Walks through the places of the anchor byte in text[first, last] with memchr; for a
// letter, the next place of each case is remembered, so neither scan covers the text
// twice.
class AnchorScan {
 public:
  AnchorScan(std::string_view text, char byte, std::size_t first, std::size_t last)
      : text_(text), lower_(AsciiLower(byte)), upper_(AsciiUpper(byte)), last_(last) {
    lowerAt_ = Find(lower_, first);
    upperAt_ = lower_ == upper_ ? kNone : Find(upper_, first);
  }

  // The next place, or kNone.
  std::size_t Next() const { return std::min(lowerAt_, upperAt_); }
  // Moves past the place `at` that Next gave.
  void Skip(std::size_t at) {
    if (lowerAt_ == at) lowerAt_ = Find(lower_, at + 1);
    if (upperAt_ == at) upperAt_ = Find(upper_, at + 1);
  }

 private:
  std::size_t Find(char byte, std::size_t from) const {
    if (from > last_) return kNone;
    const void* hit = std::memchr(text_.data() + from, byte, last_ - from + 1);
    return hit == nullptr ? kNone
                          : static_cast<std::size_t>(static_cast<const char*>(hit) - text_.data());
  }

  std::string_view text_;
  char lower_;
  char upper_;
  std::size_t last_;
  std::size_t lowerAt_;
  std::size_t upperAt_;
};

// Decides whether a place where the needle's bytes occur (letter case aside) in GB18030
// text is a match: it must start and end on character boundaries, and its multi-byte
// characters must be the needle's exactly. Places come in increasing order, so the walk
// over the text's characters only goes forward.
class GbPlaceCheck {
 public:
  GbPlaceCheck(std::string_view text, std::string_view needle) : text_(text), needle_(needle) {}

  bool IsMatch(std::size_t at) {
    // A byte that is a character wherever it stands gives a boundary close to the place,
    // so the walk need not start far back.
    for (std::size_t j = at; j > boundary_; --j) {
      if (IsGbSingleAnywhere(static_cast<unsigned char>(text_[j - 1]))) {
        boundary_ = j;
        break;
      }
    }
    boundary_ = GbBoundaryAtOrAfter(text_, boundary_, at);
    if (boundary_ != at) return false;
    const std::size_t end = at + needle_.size();
    for (std::size_t pos = at; pos < end;) {
      const std::size_t length = GbCharLength(text_, pos);
      if (length > 1 && (pos + length > end ||
                         std::memcmp(text_.data() + pos, needle_.data() + (pos - at), length))) {
        return false;
      }
      pos += length;
    }
    return true;
  }

 private:
  std::string_view text_;
  std::string_view needle_;
  std::size_t boundary_ = 0;  // the last character boundary reached
};

}  // namespace

LiteralNeedle::LiteralNeedle(std::string_view needle, TextForm form)
    : needle_(needle), folded_(needle), form_(form) {
  for (char& c : folded_) c = AsciiLower(c);
}

void LiteralNeedle::Aim(const ByteCounts& counts) {
  // A letter costs two scans, one per case; among equals the later byte is taken, which
  // lets a scan start further into the text.
  std::uint64_t best = UINT64_MAX;
  for (std::size_t i = 0; i < folded_.size(); ++i) {
    const char c = folded_[i];
    std::uint64_t cost = counts.Count(static_cast<unsigned char>(c)) + 1;
    if (IsAsciiLetter(c)) cost += counts.Count(static_cast<unsigned char>(AsciiUpper(c))) + 1;
    if (cost <= best) {
      best = cost;
      anchor_ = i;
    }
  }
}

bool LiteralNeedle::FoundIn(std::string_view text, std::size_t startsBefore) const {
  const std::size_t size = needle_.size();
  if (size > text.size() || startsBefore == 0) return false;
  const std::size_t lastStart = std::min(text.size() - size, startsBefore - 1);
  AnchorScan scan(text, folded_[anchor_], anchor_, lastStart + anchor_);
  GbPlaceCheck check(text, needle_);
  for (std::size_t hit = scan.Next(); hit != kNone; hit = scan.Next()) {
    scan.Skip(hit);
    const std::size_t at = hit - anchor_;
    const char* place = text.data() + at;
    std::size_t i = 0;
    while (i < size && AsciiLower(place[i]) == folded_[i]) ++i;
    if (i == size && (form_ == TextForm::Utf8 || check.IsMatch(at))) return true;
  }
  return false;
}

}  // namespace tarnwick
