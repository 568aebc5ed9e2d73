#pragma once
// The proof that candidates hold the same bytes when no digest is kept for later: the
// files of one bucket (one size, the same quick hashes) are read side by side, a piece
// at a time, and sorted into classes of identical content. A file left alone in its
// class is read no further; the others are each read once, to their end. Each file is
// first checked to be the one the walk saw, and, at the end, not to have changed while
// it was read.

#include <cstdint>
#include <string_view>
#include <utility>
#include <vector>

#include "engine/duplicates/digest_read.h"

namespace tarnwick {

struct CompareItem {
  std::uint32_t file;
  std::uint64_t print;  // of the stamp the walk saw
  std::string_view folder;
  const char* name;
};

struct CompareOutcome {
  static constexpr std::uint32_t kAlone = 0xFFFFFFFF;
  // For each item, the index of the first item with the same bytes (itself for the
  // first); kAlone when no other has them, or it could not be compared.
  std::vector<std::uint32_t> sameAs;
  std::vector<std::pair<std::uint32_t, int>> unreadable;  // (item, errno)
  std::vector<std::uint32_t> changed;                     // items found changed
  bool stopped = false;
};

// Compares `items`, every one of `size` bytes. Opens them all at once: the caller keeps
// their number within its share of descriptors.
CompareOutcome CompareBytes(const std::vector<CompareItem>& items, std::int64_t size,
                            const StopRequest& stop);

}  // namespace tarnwick
