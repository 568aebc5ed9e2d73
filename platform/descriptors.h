#pragma once
// Open descriptors: the process's allowance raised to what the system lets it have, and
// opens that wait for a descriptor to come free rather than fail a file when the
// process has none left for a moment (other threads close theirs as their files end).

#include <cerrno>
#include <cstddef>

namespace tarnwick::platform {

// Raises the soft limit on open descriptors to the hard limit. Called once at start.
void RaiseDescriptorLimit();

// The soft limit on open descriptors now.
std::size_t DescriptorLimit();

// Waits a little before an open is tried again for want of a descriptor: longer each
// time (`attempt` counts from 0). False once about a second has been waited in all:
// then the open fails with its error.
bool WaitForDescriptor(int attempt);

// Calls `open` (a descriptor, or -1 with errno set) until it gives a descriptor or
// fails for another reason than an interruption (EINTR) or a lack of descriptors
// (EMFILE, ENFILE), which are waited out for about a second.
template <typename Open>
int OpenWaitingForDescriptor(Open&& open) {
  for (int attempt = 0;;) {
    const int fd = open();
    if (fd >= 0 || errno == EINTR) {
      if (fd >= 0) return fd;
      continue;
    }
    if ((errno != EMFILE && errno != ENFILE) || !WaitForDescriptor(attempt++)) return -1;
  }
}

}  // namespace tarnwick::platform
