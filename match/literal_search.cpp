#include "match/literal_search.h"

#include <algorithm>
#include <cstring>

#include "text/cpu_features.h"
#include "text/gb18030_chars.h"

namespace tarnwick {
namespace {

constexpr std::size_t kNone = std::string_view::npos;

bool IsAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 0x20) : c; }
char AsciiUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 0x20) : c; }

// Where the scan looks: for each candidate place p, the bytes at p + first.offset and
// p + second.offset.
struct ScanBytes {
  const char* first;   // the text from the first anchor's offset
  const char* second;  // the text from the second anchor's offset
  char firstLower, firstUpper, secondLower, secondUpper;
};

#if defined(TARNWICK_AVX2_VARIANTS)
// Candidate places from `at` on while 32 of them can be looked at at once, with 256-bit
// vectors: the first candidate, or the place where fewer than 32 are left (`*found`
// false).
__attribute__((target("avx2"))) std::size_t NextCandidateWide(const ScanBytes& scan, std::size_t at,
                                                              std::size_t end, bool* found) {
  const __m256i firstLower = _mm256_set1_epi8(scan.firstLower);
  const __m256i firstUpper = _mm256_set1_epi8(scan.firstUpper);
  const __m256i secondLower = _mm256_set1_epi8(scan.secondLower);
  const __m256i secondUpper = _mm256_set1_epi8(scan.secondUpper);
  for (; at + 32 <= end; at += 32) {
    const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(scan.first + at));
    const __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(scan.second + at));
    const __m256i both = _mm256_and_si256(
        _mm256_or_si256(_mm256_cmpeq_epi8(a, firstLower), _mm256_cmpeq_epi8(a, firstUpper)),
        _mm256_or_si256(_mm256_cmpeq_epi8(b, secondLower), _mm256_cmpeq_epi8(b, secondUpper)));
    const unsigned mask = static_cast<unsigned>(_mm256_movemask_epi8(both));
    if (mask != 0) {
      *found = true;
      return at + static_cast<std::size_t>(__builtin_ctz(mask));
    }
  }
  return at;
}
#endif

// The first candidate place in [at, end), or kNone.
std::size_t NextCandidate(const ScanBytes& scan, std::size_t at, std::size_t end) {
#if defined(TARNWICK_AVX2_VARIANTS)
  if (HasAvx2()) {
    bool found = false;
    at = NextCandidateWide(scan, at, end, &found);
    if (found) return at;
  }
#endif
#if defined(__SSE2__)
  const __m128i firstLower = _mm_set1_epi8(scan.firstLower);
  const __m128i firstUpper = _mm_set1_epi8(scan.firstUpper);
  const __m128i secondLower = _mm_set1_epi8(scan.secondLower);
  const __m128i secondUpper = _mm_set1_epi8(scan.secondUpper);
  for (; at + 16 <= end; at += 16) {
    const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(scan.first + at));
    const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(scan.second + at));
    const __m128i both =
        _mm_and_si128(_mm_or_si128(_mm_cmpeq_epi8(a, firstLower), _mm_cmpeq_epi8(a, firstUpper)),
                      _mm_or_si128(_mm_cmpeq_epi8(b, secondLower), _mm_cmpeq_epi8(b, secondUpper)));
    const int mask = _mm_movemask_epi8(both);
    if (mask != 0) return at + static_cast<std::size_t>(__builtin_ctz(static_cast<unsigned>(mask)));
  }
#endif
  for (; at < end; ++at) {
    const char a = scan.first[at];
    const char b = scan.second[at];
    if ((a == scan.firstLower || a == scan.firstUpper) &&
        (b == scan.secondLower || b == scan.secondUpper)) {
      return at;
    }
  }
  return kNone;
}

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
  // A byte's cost is how often it was seen, in either case for a letter; among equals
  // the later byte is taken, which lets a scan start further into the text.
  const auto cost = [&](std::size_t i) {
    const char c = folded_[i];
    std::uint64_t seen = counts.Count(static_cast<unsigned char>(c));
    if (IsAsciiLetter(c)) seen += counts.Count(static_cast<unsigned char>(AsciiUpper(c)));
    return seen;
  };
  std::size_t rarest = 0;
  for (std::size_t i = 1; i < folded_.size(); ++i) {
    if (cost(i) <= cost(rarest)) rarest = i;
  }
  std::size_t next = rarest == 0 ? folded_.size() - 1 : 0;
  for (std::size_t i = 0; i < folded_.size(); ++i) {
    if (i != rarest && cost(i) <= cost(next)) next = i;
  }
  const auto anchor = [&](std::size_t i) { return Anchor{i, folded_[i], AsciiUpper(folded_[i])}; };
  rare_ = anchor(rarest);
  second_ = anchor(next);
}

bool LiteralNeedle::FoundIn(std::string_view text, std::size_t startsBefore) const {
  const std::size_t size = needle_.size();
  if (size > text.size() || startsBefore == 0) return false;
  const std::size_t end = std::min(text.size() - size + 1, startsBefore);
  const ScanBytes scan{text.data() + rare_.offset,
                       text.data() + second_.offset,
                       rare_.lower,
                       rare_.upper,
                       second_.lower,
                       second_.upper};
  GbPlaceCheck check(text, needle_);
  for (std::size_t at = NextCandidate(scan, 0, end); at != kNone;
       at = NextCandidate(scan, at + 1, end)) {
    const char* place = text.data() + at;
    std::size_t i = 0;
    while (i < size && AsciiLower(place[i]) == folded_[i]) ++i;
    if (i == size && (form_ == TextForm::Utf8 || check.IsMatch(at))) return true;
  }
  return false;
}

}  // namespace tarnwick
