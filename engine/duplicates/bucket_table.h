#pragma once
// The files a stage has found alike: those sharing a size, or a size and a quick hash.
// A bucket is keyed by its first file; once a second file joins, both go on to the next
// stage, and so does every later one.

#include <cstdint>

#include "engine/duplicates/chunked_vector.h"
#include "engine/duplicates/hash_index.h"

namespace tarnwick {

class BucketTable {
 public:
  static constexpr std::uint32_t kNone = 0xFFFFFFFF;

  struct Joined {
    std::uint32_t bucket;
    // The bucket's first file, when `file` is its second (then both go on); kNone when
    // `file` is the first (it waits for a second) or a later one.
    std::uint32_t firstToMoveOn;
    bool moveOn;  // `file` has company: it goes on
  };

  // Puts `file`, of `size` bytes and with `value` (0 when the table goes by size alone),
  // in the bucket of its size and value.
  Joined Join(std::uint32_t file, std::int64_t size, std::uint64_t value) {
    const auto [number, created] = index_.FindOrInsert(
        Mix(size, value),
        [&](std::uint32_t known) {
          const Bucket& bucket = buckets_[known];
          return bucket.size == size && bucket.value == value;
        },
        static_cast<std::uint32_t>(buckets_.size()));
    if (created) {
      buckets_.push_back({size, value, file, 1});
      return {number, kNone, false};
    }
    Bucket& bucket = buckets_[number];
    const bool second = ++bucket.count == 2;
    return {number, second ? bucket.first : kNone, true};
  }

  // A file of `size` and `value` will join soon.
  void Prefetch(std::int64_t size, std::uint64_t value) const { index_.Prefetch(Mix(size, value)); }

  // The size of the files of `bucket`.
  std::int64_t SizeOf(std::uint32_t bucket) const { return buckets_[bucket].size; }

 private:
  // Its size and value are kept beside a bucket's first file: every file that joins
  // compares them, and the first file's own record lies elsewhere in memory.
  struct Bucket {
    std::int64_t size;
    std::uint64_t value;
    std::uint32_t first;
    std::uint32_t count;
  };

  static std::uint64_t Mix(std::int64_t size, std::uint64_t value) {
    const std::uint64_t mixed =
        (static_cast<std::uint64_t>(size) ^ (value * 0xBF58476D1CE4E5B9ULL)) *
        0x94D049BB133111EBULL;
    return mixed ^ (mixed >> 31);
  }

  HashIndex index_;
  ChunkedVector<Bucket> buckets_;  // grows without moving what it holds
};

}  // namespace tarnwick
