#pragma once
// Reads handed to a worker a batch at a time: the first `least` waiting, and then the
// rest of the last one's folder, up to `most`. A worker opens each folder of its batch
// once, and a folder's files then seldom straddle two batches.

#include <cstddef>
#include <deque>
#include <vector>

namespace tarnwick {

// Moves the batch from the front of `waiting` into `batch` (empty before). Items have
// a `folder` (a string_view into a list of folders, one copy per folder).
template <typename Item>
void TakeFolderBatch(std::deque<Item>& waiting, std::size_t least, std::size_t most,
                     std::vector<Item>& batch) {
  while (!waiting.empty() &&
         (batch.size() < least ||
          (batch.size() < most && waiting.front().folder.data() == batch.back().folder.data()))) {
    batch.push_back(waiting.front());
    waiting.pop_front();
  }
}

}  // namespace tarnwick
