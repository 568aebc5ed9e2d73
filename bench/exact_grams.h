#pragma once
// The exact resemblance of two texts, against which the estimates of 相似 are measured:
// every gram hash of each text (a `Set` of CharacterGrams), and their Jaccard similarity.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace tarnwick::bench {

// Every gram hash, sorted and distinct.
class ExactGrams {
 public:
  void Clear() { hashes_.clear(); }
  void Add(std::uint64_t hash) { hashes_.push_back(hash); }
  void Finish() {
    std::sort(hashes_.begin(), hashes_.end());
    hashes_.erase(std::unique(hashes_.begin(), hashes_.end()), hashes_.end());
  }
  const std::vector<std::uint64_t>& Hashes() const { return hashes_; }

 private:
  std::vector<std::uint64_t> hashes_;
};

// The share of the two sorted, distinct sets that both hold (0 for two empty ones).
inline double Jaccard(const std::vector<std::uint64_t>& a, const std::vector<std::uint64_t>& b) {
  std::size_t i = 0, j = 0, both = 0;
  while (i < a.size() && j < b.size()) {
    if (a[i] == b[j]) {
      ++both, ++i, ++j;
    } else if (a[i] < b[j]) {
      ++i;
    } else {
      ++j;
    }
  }
  const std::size_t all = a.size() + b.size() - both;
  return all == 0 ? 0 : static_cast<double>(both) / static_cast<double>(all);
}

}  // namespace tarnwick::bench
