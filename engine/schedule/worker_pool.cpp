#include "engine/schedule/worker_pool.h"

#include <algorithm>
#include <system_error>

namespace tarnwick {
namespace {

thread_local unsigned tWorkerIndex = 0;

}  // namespace

unsigned WorkerCount(unsigned requested) {
  if (requested != 0) return requested;
  return std::max(1U, std::thread::hardware_concurrency());
}

WorkerPool::WorkerPool(unsigned threads) {
  const unsigned count = std::max(1U, threads);
  workers_.reserve(count);
  for (unsigned i = 0; i < count; ++i) {
    try {
      workers_.emplace_back([this, i] { Work(i); });
    } catch (const std::system_error&) {
      break;  // EAGAIN: a process or memory limit; carry on with the threads started
    }
  }
}

WorkerPool::~WorkerPool() {
  {
    std::lock_guard lock(mutex_);
    closing_ = true;
  }
  ready_.notify_all();
  for (std::thread& worker : workers_) worker.join();
}

void WorkerPool::Submit(std::function<void()> task) {
  {
    std::lock_guard lock(mutex_);
    tasks_.push_back(std::move(task));
  }
  ready_.notify_one();
}

unsigned WorkerPool::CurrentWorker() { return tWorkerIndex; }

void WorkerPool::Work(unsigned index) {
  tWorkerIndex = index;
  for (;;) {
    std::function<void()> task;
    {
      std::unique_lock lock(mutex_);
      ready_.wait(lock, [this] { return closing_ || !tasks_.empty(); });
      if (tasks_.empty()) return;  // closing, and nothing left to run
      task = std::move(tasks_.front());
      tasks_.pop_front();
    }
    task();
  }
}

}  // namespace tarnwick
