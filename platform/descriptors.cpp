#include "platform/descriptors.h"

#include <sys/resource.h>
#include <time.h>

#include <algorithm>

namespace tarnwick::platform {
namespace {

// Waits of 1, 2, 4 ... 64 ms, then 64 ms each, up to about a second in all.
constexpr int kLongestWaitMs = 64;
constexpr int kAttempts = 20;

}  // namespace

void RaiseDescriptorLimit() {
  rlimit limit{};
  if (::getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur == limit.rlim_max) return;
  limit.rlim_cur = limit.rlim_max;
  ::setrlimit(RLIMIT_NOFILE, &limit);
}

std::size_t DescriptorLimit() {
  constexpr std::size_t kUnbounded = 1 << 20;
  rlimit limit{};
  if (::getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY) return kUnbounded;
  return static_cast<std::size_t>(limit.rlim_cur);
}

bool WaitForDescriptor(int attempt) {
  if (attempt >= kAttempts) return false;
  const int ms = std::min(kLongestWaitMs, 1 << std::min(attempt, 6));
  const timespec pause{0, static_cast<long>(ms) * 1000000};
  ::nanosleep(&pause, nullptr);
  return true;
}

}  // namespace tarnwick::platform
