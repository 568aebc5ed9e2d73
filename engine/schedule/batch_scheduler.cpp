#include "engine/schedule/batch_scheduler.h"

namespace tarnwick {

BatchScheduler::BatchScheduler(WorkerPool* pool, JobHost& host, const StopFlag& stop)
    : pool_(pool), workers_(pool ? pool->Size() : 0), host_(host), stop_(stop) {}

bool BatchScheduler::WaitUntil(const std::function<bool()>& ready) { return Wait(ready, true); }

void BatchScheduler::WaitOut(const std::function<bool()>& ready) { Wait(ready, false); }

bool BatchScheduler::Wait(const std::function<bool()>& ready, bool endOnStop) {
  std::unique_lock lock(mutex_);
  for (;;) {
    if (ready()) return true;
    if (endOnStop && stop_.IsSet()) return false;
    jobWaiting_ = true;
    const bool woken = published_.wait_for(lock, kWaitSlice, ready);
    jobWaiting_ = false;
    if (woken) return true;
    lock.unlock();
    host_.ProcessPendingEvents();
    lock.lock();
  }
}

void BatchScheduler::WaitQuietlyUntil(const std::function<bool()>& ready) {
  std::unique_lock lock(mutex_);
  jobWaiting_ = true;
  published_.wait(lock, ready);
  jobWaiting_ = false;
}

void BatchScheduler::Run(std::function<void()> task) { pool_->Submit(std::move(task)); }

void BatchScheduler::Publish(const std::function<void()>& publish) {
  // Notified under the lock: once it is released the job's thread may end the lane.
  std::lock_guard lock(mutex_);
  publish();
  if (jobWaiting_) published_.notify_all();
}

}  // namespace tarnwick
