#pragma once
// The one way the core runs work on several threads. A job's work goes to its worker
// pool in batches, through lanes (OrderedBatches, ordered_batches.h) that give the
// batches back on the job's thread in the order they were handed out. The scheduler is
// what the lanes of a job share: the pool, the one lock and signal between the workers
// and the job's thread, and the job's wait, which handles window events every few
// milliseconds so that the window stays live however long a batch takes.
//
// Without workers (no pool, or a pool that could start no thread) there is nothing to
// wait for: a lane works on each batch at once, on the job's thread.

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>

#include "engine/job/job_host.h"
#include "engine/job/stop_flag.h"
#include "engine/schedule/worker_pool.h"

namespace tarnwick {

class BatchScheduler {
 public:
  // How long the job's thread waits for a worker before it handles window events again.
  static constexpr std::chrono::milliseconds kWaitSlice{10};

  // `pool` (null: no workers), `host` and `stop` must outlive the scheduler and its lanes.
  BatchScheduler(WorkerPool* pool, JobHost& host, const StopFlag& stop);
  BatchScheduler(const BatchScheduler&) = delete;
  BatchScheduler& operator=(const BatchScheduler&) = delete;

  // The pool's threads; 0 when every batch runs on the job's thread.
  unsigned Workers() const { return workers_; }
  // Per-thread objects are kept by slot: 0 to Workers() - 1 are the pool's threads,
  // JobSlot() the job's own thread (where batches run when there are no workers).
  unsigned Slots() const { return workers_ + 1; }
  unsigned JobSlot() const { return workers_; }

  JobHost& Host() const { return host_; }
  bool Stopped() const { return stop_.IsSet(); }

  // Waits on the job's thread until `ready()` holds or the stop flag is set, handling
  // window events every kWaitSlice. `ready` is asked under the scheduler's lock, so it
  // sees whatever a batch published when it ended. Returns what `ready()` last said.
  bool WaitUntil(const std::function<bool()>& ready);
  // The same, but waits on after a stop: for batches told to end at once, which a stop
  // does not end any sooner.
  void WaitOut(const std::function<bool()>& ready);
  // The same without handling window events: for a lane's end, which may come while
  // the window is being closed.
  void WaitQuietlyUntil(const std::function<bool()>& ready);

  // For the lanes. Runs `task` on a worker; the task must not throw.
  void Run(std::function<void()> task);
  // Runs `publish` under the lock (a batch ending: its results and done mark) and wakes
  // the job's thread if it is waiting.
  void Publish(const std::function<void()>& publish);

 private:
  WorkerPool* const pool_;
  const unsigned workers_;
  JobHost& host_;
  const StopFlag& stop_;
  bool Wait(const std::function<bool()>& ready, bool endOnStop);

  std::mutex mutex_;
  std::condition_variable published_;
  bool jobWaiting_ = false;  // the job's thread waits on published_
};

}  // namespace tarnwick
