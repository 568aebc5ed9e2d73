#include "engine/duplicates/gram_sample.h"

#include <algorithm>

namespace tarnwick {

void GramSample::Clear() {
  hashes_.clear();
  full_ = false;
  greatest_ = 0;
  whole_ = true;
}

void GramSample::Trim() {
  std::sort(hashes_.begin(), hashes_.end());
  hashes_.erase(std::unique(hashes_.begin(), hashes_.end()), hashes_.end());
  if (hashes_.size() < kSampleSize) return;
  if (hashes_.size() > kSampleSize) whole_ = false;
  hashes_.resize(kSampleSize);
  full_ = true;
  greatest_ = hashes_.back();
}

double SampledResemblance(const GramSample& a, const GramSample& b) {
  // Walk the union in order: while both samples are whole every hash counts; once one
  // is cut short, only the union's least kSampleSize hashes, all of which both samples
  // would hold had they been whole.
  const bool whole = a.whole_ && b.whole_;
  std::size_t i = 0, j = 0, inUnion = 0, inBoth = 0;
  while ((i < a.hashes_.size() || j < b.hashes_.size()) && (whole || inUnion < kSampleSize)) {
    const bool takeA = j == b.hashes_.size() || (i < a.hashes_.size() && a.hashes_[i] <= b.hashes_[j]);
    const bool takeB = i == a.hashes_.size() || (j < b.hashes_.size() && b.hashes_[j] <= a.hashes_[i]);
    if (takeA && takeB) ++inBoth;
    i += takeA;
    j += takeB;
    ++inUnion;
  }
  return inUnion == 0 ? 0.0 : static_cast<double>(inBoth) / static_cast<double>(inUnion);
}

}  // namespace tarnwick
