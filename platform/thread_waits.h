#pragma once
// How often the calling thread has waited for something (the device, above all): the
// count of its voluntary context switches. Two counts around a system call tell whether
// it waited, which a clock cannot tell on a loaded machine, where a thread that never
// waited may still be kept from running.

#include <cstdint>

namespace tarnwick::platform {

std::uint64_t ThreadWaits();

}  // namespace tarnwick::platform
