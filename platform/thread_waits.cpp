#include "platform/thread_waits.h"

#include <sys/resource.h>

namespace tarnwick::platform {

std::uint64_t ThreadWaits() {
  rusage usage{};
  if (::getrusage(RUSAGE_THREAD, &usage) != 0) return 0;
  return static_cast<std::uint64_t>(usage.ru_nvcsw);
}

}  // namespace tarnwick::platform
