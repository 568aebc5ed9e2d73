#include "engine/schedule/worker_pool.h"

#include <gtest/gtest.h>

#include <atomic>
#include <map>
#include <set>
#include <thread>

namespace tarnwick {
namespace {

TEST(WorkerPoolTest, RunsEverySubmittedTaskBeforeItIsDestroyedAndOnSeveralThreads) {
  std::atomic<int> done{0};
  std::mutex mutex;
  std::set<std::thread::id> threads;
  {
    WorkerPool pool(3);
    EXPECT_EQ(pool.Size(), 3U);
    for (int i = 0; i < 2000; ++i) {
      pool.Submit([&] {
        {
          std::lock_guard lock(mutex);
          threads.insert(std::this_thread::get_id());
        }
        ++done;
      });
    }
  }
  EXPECT_EQ(done.load(), 2000);
  EXPECT_EQ(threads.count(std::this_thread::get_id()), 0U);
}

// Tasks keep per-worker objects by this number: two threads must never share one.
TEST(WorkerPoolTest, EachWorkerHasItsOwnNumber) {
  std::mutex mutex;
  std::map<unsigned, std::set<std::thread::id>> threadsOfNumber;
  {
    WorkerPool pool(4);
    for (int i = 0; i < 400; ++i) {
      pool.Submit([&] {
        const unsigned number = WorkerPool::CurrentWorker();
        std::lock_guard lock(mutex);
        threadsOfNumber[number].insert(std::this_thread::get_id());
      });
    }
  }
  for (const auto& [number, threads] : threadsOfNumber) {
    EXPECT_LT(number, 4U);
    EXPECT_EQ(threads.size(), 1U) << "worker " << number;
  }
}

TEST(WorkerPoolTest, ZeroThreadsMeansOnePerCoreAndAPoolNeverHasNone) {
  EXPECT_GE(WorkerCount(0), 1U);
  EXPECT_EQ(WorkerCount(5), 5U);
  WorkerPool pool(0);
  EXPECT_EQ(pool.Size(), 1U);
}

}  // namespace
}  // namespace tarnwick
