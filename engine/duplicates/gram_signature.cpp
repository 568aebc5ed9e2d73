#include "engine/duplicates/gram_signature.h"

#include <algorithm>
#include <bit>

#include "engine/duplicates/character_grams.h"

namespace tarnwick {

void SignatureBins::Clear() {
  least_.fill(kEmpty);
  any_ = false;
}

void SignatureBins::Finish() {
  // Each word of bins at once: the lowest bit of each bin's value (the gram hashes are
  // mixed: it is as random as any) and which bins are empty, without a branch a bin.
  constexpr unsigned kWords = kSignatureBins / 64;
  std::array<std::uint64_t, kWords> empty{};
  bool anyFilled = false;
  for (unsigned word = 0; word < kWords; ++word) {
    std::uint64_t bits = 0;
    std::uint64_t none = 0;
    for (unsigned bin = 0; bin < 64; ++bin) {
      const std::uint64_t value = least_[word * 64 + bin];
      const std::uint64_t isEmpty = value == kEmpty;
      bits |= (value & 1 & ~isEmpty) << bin;
      none |= isEmpty << bin;
    }
    signature_[word] = bits;
    empty[word] = none;
    anyFilled |= none != ~std::uint64_t{0};
  }
  any_ = anyFilled;
  if (!any_) {
    signature_ = {};
    return;
  }
  // Each empty bin takes the value of the next filled one round the ring, marked by how
  // far it is from it: the words from the last, carrying the lowest filled bin above.
  unsigned firstFilled = 0;
  while (empty[firstFilled / 64] >> (firstFilled % 64) & 1) ++firstFilled;
  unsigned nextAbove = firstFilled + kSignatureBins;  // round the ring
  for (unsigned word = kWords; word-- > 0;) {
    const std::uint64_t filledHere = ~empty[word];
    for (std::uint64_t left = empty[word]; left != 0; left &= left - 1) {
      const unsigned bit = static_cast<unsigned>(std::countr_zero(left));
      const std::uint64_t filledAbove = bit == 63 ? 0 : filledHere >> (bit + 1) << (bit + 1);
      const unsigned next = filledAbove != 0
                                ? word * 64 + static_cast<unsigned>(std::countr_zero(filledAbove))
                                : nextAbove;
      const std::uint64_t distance = next - (word * 64 + bit);
      signature_[word] |= (MixBits(least_[next % kSignatureBins] + distance) & 1) << bit;
    }
    if (filledHere != 0)
      nextAbove = word * 64 + static_cast<unsigned>(std::countr_zero(filledHere));
  }
}

double EstimatedResemblance(const GramSignature& a, const GramSignature& b) {
  unsigned differing = 0;
  for (std::size_t word = 0; word < a.size(); ++word) differing += std::popcount(a[word] ^ b[word]);
  // Bins that differ agree by chance half the time: agreeing = J + (1 - J) / 2.
  const double agreeing = 1.0 - static_cast<double>(differing) / kSignatureBins;
  return std::clamp(2 * agreeing - 1, 0.0, 1.0);
}

}  // namespace tarnwick
