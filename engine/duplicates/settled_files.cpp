#include "engine/duplicates/settled_files.h"

#include <algorithm>

namespace tarnwick {
namespace {

// Files and buckets are numbered densely as they come: a column reaches a number by
// growing to it.
std::uint32_t& At(ChunkedVector<std::uint32_t>& column, std::uint32_t index, std::uint32_t fill) {
  while (column.size() <= index) column.push_back(fill);
  return column[index];
}

}  // namespace

bool SettledFiles::KeepAside(std::uint32_t file, std::uint32_t sizeBucket) {
  std::uint32_t& last = At(lastOf_, sizeBucket, kNone);
  if (last == kOpen) return false;
  At(before_, file, kNone) = last;
  last = file;
  return true;
}

std::vector<std::uint32_t> SettledFiles::Open(std::uint32_t sizeBucket) {
  std::uint32_t& last = At(lastOf_, sizeBucket, kNone);
  std::vector<std::uint32_t> kept;
  for (std::uint32_t file = last; file != kNone && file != kOpen; file = before_[file])
    kept.push_back(file);
  last = kOpen;
  std::reverse(kept.begin(), kept.end());
  return kept;
}

}  // namespace tarnwick
