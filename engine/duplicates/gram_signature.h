#pragma once
// The MinHash signature of a text's set of character grams (character_grams.h), by one
// permutation hashing: each gram's hash picks one of kSignatureBins bins by its top
// bits and competes there with its other bits; a bin keeps the least. Two texts agree in
// a bin with the probability of their Jaccard similarity, so the share of agreeing bins
// estimates it, in time linear in the text and with a fixed size per file. A text with
// fewer grams than bins leaves bins empty: each takes the value of the next filled bin
// (densification by rotation, in one pass), so that two texts leave the same bins empty
// only where their grams agree.
//
// A signature keeps one bit of each bin's value (b-bit MinHash): bins that differ agree by
// chance half the time, which the estimate takes out. For the same memory a bit each of
// 2,048 bins estimates with about half the error of a byte each of 256: within ±2 % for
// one standard deviation at any resemblance, within ±1 % near 90 %.

#include <algorithm>
#include <array>
#include <cstdint>

namespace tarnwick {

inline constexpr unsigned kSignatureBins = 2048;
using GramSignature = std::array<std::uint64_t, kSignatureBins / 64>;

// The gram set while a text is read (the `Set` of CharacterGrams).
class SignatureBins {
 public:
  void Clear();
  void Add(std::uint64_t gramHash) {
    const auto bin = static_cast<unsigned>(gramHash >> (64 - kBinBits));
    const std::uint64_t value = gramHash & kValueMask;
    // Without a branch: in a short text most grams still lower their bin, unpredictably.
    least_[bin] = std::min(least_[bin], value);
  }
  // The text ends: empty bins are filled, and the signature made. Only then are the
  // values below meaningful.
  void Finish();
  // Whether any gram was added.
  bool Any() const { return any_; }
  // One bit of each bin's value.
  const GramSignature& Signature() const { return signature_; }

 private:
  static constexpr unsigned kBinBits = 11;  // 2^11 = kSignatureBins
  static constexpr std::uint64_t kValueMask = (std::uint64_t{1} << (64 - kBinBits)) - 1;
  static constexpr std::uint64_t kEmpty = ~std::uint64_t{0};
  std::array<std::uint64_t, kSignatureBins> least_{};
  GramSignature signature_{};
  bool any_ = false;
};

// The Jaccard similarity two signatures estimate, 0 to 1.
double EstimatedResemblance(const GramSignature& a, const GramSignature& b);

}  // namespace tarnwick
