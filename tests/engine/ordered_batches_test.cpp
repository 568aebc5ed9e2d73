// The one scheduling of the core's parallel work: batches come back in the order they
// were handed out whatever order the workers end them in, no more than the bound are
// out at once, a stop keeps what was taken back (an in-order prefix) and drops the rest,
// the job's thread handles window events while it waits, and without workers a batch is
// worked on at once.

#include "engine/schedule/ordered_batches.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>
#include <vector>

#include "tests/engine/walk_test_support.h"

namespace tarnwick {
namespace {

struct Numbered {
  int number = 0;
  unsigned slot = 0;
};

// Later batches end sooner: the workers finish them out of order.
void SlowerWhenEarlier(Numbered& batch, const BatchRun& run) {
  std::this_thread::sleep_for(std::chrono::microseconds(200 * (20 - batch.number % 20)));
  batch.slot = run.Slot();
}

TEST(OrderedBatchesTest, BatchesComeBackInTheOrderTheyWereHandedOut) {
  for (const unsigned threads : {0u, 1u, 3u}) {
    StopFlag stop;
    stop.Clear();
    test::RecordingHost host;
    const std::unique_ptr<WorkerPool> pool =
        threads > 0 ? std::make_unique<WorkerPool>(threads) : nullptr;
    BatchScheduler scheduler(pool.get(), host, stop);
    OrderedBatches<Numbered> lane(scheduler, 4, SlowerWhenEarlier);
    std::vector<int> taken;
    std::vector<unsigned> slots;
    const auto take = [&] {
      while (Numbered* batch = lane.DoneHead()) {
        taken.push_back(batch->number);
        slots.push_back(batch->slot);
        lane.PopHead();
      }
    };
    for (int number = 0; number < 60; ++number) {
      while (lane.Full()) {
        EXPECT_LE(lane.Out(), 4u);
        lane.WaitForHead();
        take();
      }
      lane.HandOut({number, 0});
    }
    while (lane.WaitForHead()) take();
    ASSERT_EQ(taken.size(), 60u) << threads;
    for (int number = 0; number < 60; ++number) EXPECT_EQ(taken[number], number) << threads;
    // Without workers the job's own slot does the work; with them, their slots.
    for (const unsigned slot : slots) {
      if (threads == 0) {
        EXPECT_EQ(slot, scheduler.JobSlot());
      } else {
        EXPECT_LT(slot, threads);
      }
    }
  }
}

TEST(OrderedBatchesTest, AStopKeepsThePrefixTakenBackAndEndsTheBatchesInHand) {
  StopFlag stop;
  stop.Clear();
  test::RecordingHost host;
  WorkerPool pool(2);
  BatchScheduler scheduler(&pool, host, stop);
  std::atomic<int> started{0};
  std::atomic<int> finished{0};
  // Each batch runs until it is dropped: only a stop can end them.
  OrderedBatches<Numbered> lane(scheduler, 8, [&](Numbered&, const BatchRun& run) {
    ++started;
    while (!run.Dropped()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    ++finished;
  });
  for (int number = 0; number < 8; ++number) lane.HandOut({number, 0});
  // The window presses stop while the job waits, once both workers are busy: the wait
  // handles events, sees the stop and returns.
  host.onPendingEvents = [&] {
    if (started == 2) stop.Set();
  };
  EXPECT_FALSE(lane.WaitForHead());
  EXPECT_GE(host.pendingEventCalls, 1);
  const auto before = std::chrono::steady_clock::now();
  lane.DropAndWaitOut();
  EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::milliseconds(500));
  EXPECT_TRUE(lane.Empty());
  // The two in hand ended; the others were never started.
  EXPECT_EQ(started.load(), 2);
  EXPECT_EQ(finished.load(), 2);
}

TEST(OrderedBatchesTest, NotesQueuedBetweenBatchesComeBackInTheirTurn) {
  StopFlag stop;
  stop.Clear();
  test::RecordingHost host;
  WorkerPool pool(2);
  BatchScheduler scheduler(&pool, host, stop);
  OrderedBatches<Numbered> lane(scheduler, 8, SlowerWhenEarlier);
  lane.HandOut({0, 0});
  lane.Queue({-1, 0});
  lane.HandOut({1, 0});
  std::vector<int> taken;
  while (lane.WaitForHead()) {
    taken.push_back(lane.DoneHead()->number);
    lane.PopHead();
  }
  EXPECT_EQ(taken, (std::vector<int>{0, -1, 1}));
}

// A pool that could start no thread leaves the work to the job's thread.
TEST(OrderedBatchesTest, APoolWithoutThreadsWorksOnTheJobsThread) {
  StopFlag stop;
  stop.Clear();
  test::RecordingHost host;
  WorkerPool pool(1);
  BatchScheduler withWorker(&pool, host, stop);
  EXPECT_EQ(withWorker.Workers(), 1u);
  BatchScheduler without(nullptr, host, stop);
  EXPECT_EQ(without.Workers(), 0u);
  OrderedBatches<Numbered> lane(without, 1, SlowerWhenEarlier);
  lane.HandOut({5, 99});
  ASSERT_NE(lane.DoneHead(), nullptr);
  EXPECT_EQ(lane.DoneHead()->slot, without.JobSlot());
}

}  // namespace
}  // namespace tarnwick
