#include "engine/schedule/worker_pool.h"

#include <sched.h>
#include <sys/resource.h>

#include <algorithm>
#include <cstdint>
#include <system_error>

namespace tarnwick {
namespace {

thread_local unsigned tWorkerIndex = 0;

// What a worker takes of the address space beside its stack: its read buffers and its
// share of the allocator's arenas.
constexpr std::uint64_t kWorkerBuffers = 4ULL << 20;

// The threads a bounded address space (ulimit -v) affords: their stacks and buffers may
// take half of it, the other half is the program's own. A thread started beyond that
// would leave a worker's first buffer unallocatable.
unsigned AffordableThreads(unsigned wanted) {
  rlimit space{};
  if (::getrlimit(RLIMIT_AS, &space) != 0 || space.rlim_cur == RLIM_INFINITY) return wanted;
  rlimit stack{};
  std::uint64_t stackBytes = 8ULL << 20;
  if (::getrlimit(RLIMIT_STACK, &stack) == 0 && stack.rlim_cur != RLIM_INFINITY)
    stackBytes = stack.rlim_cur;
  const std::uint64_t perThread = stackBytes + kWorkerBuffers;
  return static_cast<unsigned>(std::min<std::uint64_t>(wanted, space.rlim_cur / 2 / perThread));
}

}  // namespace

unsigned WorkerCount(unsigned requested) {
  if (requested != 0) return requested;
  // The cores this process may run on (taskset, a container's share), not every core.
  cpu_set_t cores;
  if (::sched_getaffinity(0, sizeof cores, &cores) == 0)
    return std::max(1, CPU_COUNT(&cores));
  return std::max(1U, std::thread::hardware_concurrency());
}

WorkerPool::WorkerPool(unsigned threads) {
  const unsigned count = AffordableThreads(std::max(1U, threads));
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
