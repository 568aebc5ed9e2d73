#include "engine/schedule/descriptor_budget.h"

#include <sys/resource.h>

#include <algorithm>

namespace tarnwick {

std::size_t FolderDescriptorBudget() {
  constexpr std::size_t kMost = 256;
  rlimit limit{};
  if (::getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY) return kMost;
  return std::clamp<std::size_t>(static_cast<std::size_t>(limit.rlim_cur / 4), 4, kMost);
}

}  // namespace tarnwick
