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
  // Found after the text, from the bins: no test per gram.
  const auto first = static_cast<unsigned>(
      std::find_if(least_.begin(), least_.end(), [](std::uint64_t v) { return v != kEmpty; }) -
      least_.begin());
  any_ = first < kSignatureBins;
  if (!any_) return;
  // From the first filled bin backwards round the ring, each empty bin takes the value
  // of the next filled one, marked by how far it is from it.
  std::uint64_t next = least_[first];
  std::uint64_t distance = 0;
  const auto fill = [&](unsigned bin) {
    std::uint64_t& value = least_[bin];
    if (value != kEmpty) {
      next = value;
      distance = 0;
      return;
    }
    value = MixBits(next + ++distance) & kValueMask;
  };
  for (unsigned bin = first; bin-- > 0;) fill(bin);
  for (unsigned bin = kSignatureBins; bin-- > first + 1;) fill(bin);
}

GramSignature SignatureBins::Signature() const {
  // The lowest bit of a least value is as random as any: the gram hashes are mixed.
  GramSignature signature{};
  if (!any_) return signature;
  for (unsigned bin = 0; bin < kSignatureBins; ++bin)
    signature[bin / 64] |= (least_[bin] & 1) << (bin % 64);
  return signature;
}

double EstimatedResemblance(const GramSignature& a, const GramSignature& b) {
  unsigned differing = 0;
  for (std::size_t word = 0; word < a.size(); ++word) differing += std::popcount(a[word] ^ b[word]);
  // Bins that differ agree by chance half the time: agreeing = J + (1 - J) / 2.
  const double agreeing = 1.0 - static_cast<double>(differing) / kSignatureBins;
  return std::clamp(2 * agreeing - 1, 0.0, 1.0);
}

}  // namespace tarnwick
