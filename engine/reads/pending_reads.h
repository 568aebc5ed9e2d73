#pragma once
// The reads asked for and not yet sent to the device, and which goes next: one a worker
// waits for, then the oldest on a device that answers many reads at once, or on a
// spinning disk the one lying first on disk (by inode number, which on the usual disk
// file systems follows where a file's blocks lie), so that the disk seeks less.

#include <algorithm>
#include <cstdint>
#include <deque>

namespace tarnwick {

class PendingReads {
 public:
  explicit PendingReads(bool inDiskOrder) : inDiskOrder_(inDiskOrder) {}

  bool Empty() const { return waiting_.empty(); }
  std::size_t Size() const { return waiting_.size(); }
  void Push(std::uint32_t slot, std::uint64_t inode) { waiting_.push_back({slot, inode, false}); }
  // A worker waits for `slot`: it goes next.
  void Promote(std::uint32_t slot) {
    const auto found = Find(slot);
    if (found != waiting_.end()) found->wanted = true;
  }
  void Remove(std::uint32_t slot) {
    const auto found = Find(slot);
    if (found != waiting_.end()) waiting_.erase(found);
  }
  // The slot to read next. Not to be called when Empty().
  std::uint32_t Pop() {
    auto next = std::find_if(waiting_.begin(), waiting_.end(),
                             [](const Waiting& waiting) { return waiting.wanted; });
    if (next == waiting_.end()) {
      next = inDiskOrder_ ? std::min_element(waiting_.begin(), waiting_.end(),
                                             [](const Waiting& a, const Waiting& b) {
                                               return a.inode < b.inode;
                                             })
                          : waiting_.begin();
    }
    const std::uint32_t slot = next->slot;
    waiting_.erase(next);
    return slot;
  }

 private:
  struct Waiting {
    std::uint32_t slot;
    std::uint64_t inode;
    bool wanted;
  };
  std::deque<Waiting>::iterator Find(std::uint32_t slot) {
    return std::find_if(waiting_.begin(), waiting_.end(),
                        [slot](const Waiting& waiting) { return waiting.slot == slot; });
  }

  const bool inDiskOrder_;
  std::deque<Waiting> waiting_;
};

}  // namespace tarnwick
