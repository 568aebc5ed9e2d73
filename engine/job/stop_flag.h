#pragma once
// StopFlag: set while no long operation runs or once a stop has been requested; clear
// while a long operation runs. The filter job and the file operations share one.
// Atomic so that the command line's Ctrl-C handler may set it.

#include <atomic>

namespace tarnwick {

class StopFlag {
 public:
  bool IsSet() const { return set_.load(std::memory_order_relaxed); }
  void Set() { set_.store(true, std::memory_order_relaxed); }
  void Clear() { set_.store(false, std::memory_order_relaxed); }

 private:
  std::atomic<bool> set_{true};
};

}  // namespace tarnwick
