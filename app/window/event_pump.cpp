#include "app/window/event_pump.h"

#include <QCoreApplication>
#include <QThread>
#include <utility>

namespace tarnwick {

EventPump::EventPump(std::function<void()> beforeEvents, std::chrono::milliseconds interval)
    : beforeEvents_(std::move(beforeEvents)), interval_(interval) {}

void EventPump::Pump() {
  if (std::chrono::steady_clock::now() - last_ < interval_) return;
  PumpNow();
}

void EventPump::PumpNow() {
  if (beforeEvents_) beforeEvents_();
  QCoreApplication::processEvents();
  last_ = std::chrono::steady_clock::now();
}

void PumpWait(int ms) {
  for (int waited = 0; waited < ms; waited += 10) {
    QThread::msleep(10);
    QCoreApplication::processEvents();
  }
}

}  // namespace tarnwick
