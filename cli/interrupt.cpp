#include "cli/interrupt.h"

#include <signal.h>
#include <unistd.h>

#include <atomic>

namespace tarnwick::cli {
namespace {

StopFlag* gStop = nullptr;
std::atomic<int> gPresses{0};
static_assert(std::atomic<int>::is_always_lock_free, "used from a signal handler");
static_assert(std::atomic<bool>::is_always_lock_free, "StopFlag is set from a signal handler");

void OnInterrupt(int) {
  if (gPresses.fetch_add(1) > 0 && gStop->IsSet()) _exit(130);
  gStop->Set();
}

}  // namespace

void InstallInterruptHandler(StopFlag& stop) {
  gStop = &stop;
  struct sigaction action {};
  action.sa_handler = OnInterrupt;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;  // reads and directory listings carry on undisturbed
  sigaction(SIGINT, &action, nullptr);
}

bool WasInterrupted() { return gPresses.load() > 0; }

}  // namespace tarnwick::cli
