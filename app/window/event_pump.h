#pragma once
// Keeping the window live inside long loops that run on the window's own thread.

#include <chrono>
#include <functional>

namespace tarnwick {

// Handles pending window events, but at most once per interval: a long loop may call
// Pump() once per file without spending its time in the event dispatcher, and a click
// still gets handled within the interval. `beforeEvents` runs first each time events
// are handled (the result list announces its pending rows there).
class EventPump {
 public:
  explicit EventPump(std::function<void()> beforeEvents,
                     std::chrono::milliseconds interval = std::chrono::milliseconds(40));

  void Pump();
  // Handles events now, whatever the interval.
  void PumpNow();

 private:
  std::function<void()> beforeEvents_;
  std::chrono::milliseconds interval_;
  std::chrono::steady_clock::time_point last_{};
};

// Sleeps 10 ms and handles window events, repeatedly, until the steps add up to `ms`.
void PumpWait(int ms);

}  // namespace tarnwick
