#pragma once
// Files whose SHA-256 the digest cache knew: their content class is settled without a
// read. The quick hash of their ends would only serve to find files alike, so they are
// kept out of that stage's buckets until a file of their size comes whose class is not
// settled and that may be their like; then they join those buckets ahead of it. In a
// rerun where the cache knows every file, the ends stage makes no bucket at all.

#include <cstdint>
#include <vector>

#include "engine/duplicates/chunked_vector.h"

namespace tarnwick {

class SettledFiles {
 public:
  // Keeps `file`, of the size bucket `sizeBucket`, aside. False when that bucket is open
  // already: the file then joins the ends stage's buckets at once.
  bool KeepAside(std::uint32_t file, std::uint32_t sizeBucket);
  // Opens `sizeBucket` for good and returns the files kept aside of it, in the order
  // they came.
  std::vector<std::uint32_t> Open(std::uint32_t sizeBucket);

 private:
  static constexpr std::uint32_t kNone = 0xFFFFFFFF;
  static constexpr std::uint32_t kOpen = 0xFFFFFFFE;

  // By size bucket: the file kept aside last, kNone or kOpen.
  ChunkedVector<std::uint32_t> lastOf_;
  // By file: the file of its bucket kept aside before it, or kNone.
  ChunkedVector<std::uint32_t> before_;
};

}  // namespace tarnwick
