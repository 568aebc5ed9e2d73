#include "engine/schedule/descriptor_budget.h"

#include <algorithm>

#include "platform/descriptors.h"

namespace tarnwick {

std::size_t DescriptorShare() {
  constexpr std::size_t kReserve = 8;
  constexpr std::size_t kShares = 6;
  constexpr std::size_t kMost = 256;
  const std::size_t limit = platform::DescriptorLimit();
  const std::size_t usable = limit > kReserve ? limit - kReserve : 1;
  return std::clamp<std::size_t>(usable / kShares, 1, kMost);
}

}  // namespace tarnwick
