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
  signature_ = {};
  // Found after the text, from the bins: no test per gram.
  const auto first = static_cast<unsigned>(
      std::find_if(least_.begin(), least_.end(), [](std::uint64_t v) { return v != kEmpty; }) -
      least_.begin());
  any_ = first < kSignatureBins;
  if (!any_) return;
  // From the first filled bin backwards round the ring, each empty bin takes the value
  // of the next filled one, marked by how far it is from it. Only the lowest bit of a
  // bin's value is kept (the gram hashes are mixed: it is as random as any), so the
  // values are never written back.
  std::uint64_t next = least_[first];
  std::uint64_t distance = 0;
  const auto keepBit = [&](unsigned bin) {
    const std::uint64_t value = least_[bin];
    std::uint64_t bit;
    if (value != kEmpty) {
      next = value;
      distance = 0;
      bit = value & 1;
    } else {
      bit = MixBits(next + ++distance) & 1;
    }
    signature_[bin / 64] |= bit << (bin % 64);
  };
  for (unsigned bin = first + 1; bin-- > 0;) keepBit(bin);
  for (unsigned bin = kSignatureBins; bin-- > first + 1;) keepBit(bin);
}

double EstimatedResemblance(const GramSignature& a, const GramSignature& b) {
  unsigned differing = 0;
  for (std::size_t word = 0; word < a.size(); ++word) differing += std::popcount(a[word] ^ b[word]);
  // Bins that differ agree by chance half the time: agreeing = J + (1 - J) / 2.
  const double agreeing = 1.0 - static_cast<double>(differing) / kSignatureBins;
  return std::clamp(2 * agreeing - 1, 0.0, 1.0);
}

}  // namespace tarnwick
