#pragma once
// A vector that grows a fixed-size chunk at a time: elements never move, and growing
// never holds the old and the new storage at once, so a table of a million records
// costs its own size and no more.

#include <cstddef>
#include <memory>
#include <vector>

namespace tarnwick {

template <typename T, std::size_t kChunkBits = 12>
class ChunkedVector {
 public:
  std::size_t size() const { return size_; }
  T& operator[](std::size_t index) { return chunks_[index >> kChunkBits][index & kMask]; }
  const T& operator[](std::size_t index) const {
    return chunks_[index >> kChunkBits][index & kMask];
  }
  T& push_back(const T& value) {
    if ((size_ & kMask) == 0)
      chunks_.push_back(std::make_unique<T[]>(std::size_t{1} << kChunkBits));
    T& slot = (*this)[size_++];
    slot = value;
    return slot;
  }

 private:
  static constexpr std::size_t kMask = (std::size_t{1} << kChunkBits) - 1;
  std::vector<std::unique_ptr<T[]>> chunks_;
  std::size_t size_ = 0;
};

}  // namespace tarnwick
