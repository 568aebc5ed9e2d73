#pragma once
// A bottom-k sample of a text's set of character grams: the kSampleSize least distinct
// gram hashes. For a text with no more distinct grams than that, the sample is the whole
// set and the resemblance of two samples is the texts' exact Jaccard similarity; for a
// longer text it is estimated from the least kSampleSize hashes of the union, within
// about half a percent. Memory stays bounded whatever the text's length. It settles the
// near cases that the signatures of gram_signature.h leave open.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tarnwick {

inline constexpr std::size_t kSampleSize = 4096;

// The `Set` of CharacterGrams for a sample.
class GramSample {
 public:
  void Clear();
  void Add(std::uint64_t gramHash) {
    if (full_ && gramHash > greatest_) return;
    hashes_.push_back(gramHash);
    if (hashes_.size() >= 2 * kSampleSize) Trim();
  }
  // The text ends: the sample is sorted and distinct.
  void Finish() { Trim(); }
  bool Empty() const { return hashes_.empty(); }

  // The Jaccard similarity of the two sets, exact when both are whole (0 to 1). Both
  // samples must be finished.
  friend double SampledResemblance(const GramSample& a, const GramSample& b);

 private:
  // Keeps the least kSampleSize distinct hashes, sorted; once that many are kept, a
  // hash above the greatest can never enter.
  void Trim();

  std::vector<std::uint64_t> hashes_;
  bool full_ = false;          // kSampleSize hashes are kept: none above greatest_ enters
  std::uint64_t greatest_ = 0;
  bool whole_ = true;  // no hash was ever left out
};

double SampledResemblance(const GramSample& a, const GramSample& b);

}  // namespace tarnwick
