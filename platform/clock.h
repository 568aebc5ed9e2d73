#pragma once
// A monotonic millisecond clock (64 bits: no wrap).

#include <chrono>
#include <cstdint>

namespace tarnwick::platform {

inline std::int64_t MonotonicMillis() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

}  // namespace tarnwick::platform
