#pragma once
// A fixed set of worker threads for the per-file work of a job (filters, digests).
// Tasks run in any order on any worker; the job hands its work out through lanes of
// ordered batches (ordered_batches.h), which give results back in order.

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace tarnwick {

// The worker count a job uses for `requested` threads: 0 means one per core the
// process may run on.
unsigned WorkerCount(unsigned requested);

class WorkerPool {
 public:
  // Starts `threads` workers (at least one). A thread the system will not start (too
  // many threads or too little memory for their stacks), or one a bounded address space
  // could not give its buffers, leaves the pool smaller, down to no worker at all: then
  // the job's own thread does the work (Submit must not be called).
  explicit WorkerPool(unsigned threads);
  // Runs every task already submitted, then joins the workers.
  ~WorkerPool();
  WorkerPool(const WorkerPool&) = delete;
  WorkerPool& operator=(const WorkerPool&) = delete;

  unsigned Size() const { return static_cast<unsigned>(workers_.size()); }

  // Queues a task. Tasks must not throw; what they produce they hand over themselves.
  void Submit(std::function<void()> task);

  // The number, 0 to Size() - 1, of the worker running the calling task: a caller may
  // keep one set of per-thread objects per worker and let each task use its own.
  static unsigned CurrentWorker();

 private:
  void Work(unsigned index);

  std::mutex mutex_;
  std::condition_variable ready_;
  std::deque<std::function<void()>> tasks_;
  bool closing_ = false;
  std::vector<std::thread> workers_;
};

}  // namespace tarnwick
