#pragma once
// A lane of work: batches handed out on the job's thread, worked on by the scheduler's
// workers in any order, and taken back on the job's thread in the order they were
// handed out, so that whatever is merged from them is merged in that order. At most a
// set number of batches are out at once. Dropping the lane (a stop) drops every batch
// not taken back: those not started are never worked on, those running are told so and
// their results are never looked at, so what was taken back before is an in-order
// prefix of the work.
//
// Without workers a batch is worked on at once, on the job's thread, as it is handed
// out.

#include <atomic>
#include <cstddef>
#include <deque>
#include <functional>
#include <memory>
#include <utility>

#include "engine/schedule/batch_scheduler.h"

namespace tarnwick {

// What a batch's work is told besides the batch.
class BatchRun {
 public:
  BatchRun(unsigned slot, const std::atomic<bool>& dropped) : slot_(slot), dropped_(dropped) {}
  // The thread's slot (BatchScheduler::Slots): which per-thread objects to use.
  unsigned Slot() const { return slot_; }
  // True once the batch has been dropped: the work may end at once.
  bool Dropped() const { return dropped_.load(std::memory_order_relaxed); }

 private:
  unsigned slot_;
  const std::atomic<bool>& dropped_;
};

template <typename Batch>
class OrderedBatches {
 public:
  using Work = std::function<void(Batch& batch, const BatchRun& run)>;

  // `work` is called for each batch on the thread that runs it. The scheduler must
  // outlive the lane.
  OrderedBatches(BatchScheduler& scheduler, std::size_t mostOut, Work work)
      : scheduler_(scheduler), mostOut_(mostOut == 0 ? 1 : mostOut), work_(std::move(work)) {}
  // Drops what is out and waits for the batches still running.
  ~OrderedBatches() {
    Drop();
    scheduler_.WaitQuietlyUntil([this] { return running_ == 0; });
  }
  OrderedBatches(const OrderedBatches&) = delete;
  OrderedBatches& operator=(const OrderedBatches&) = delete;

  // Hands `batch` out to be worked on.
  void HandOut(Batch batch) {
    auto entry = std::make_shared<Entry>(std::move(batch));
    out_.push_back(entry);
    if (scheduler_.Workers() == 0) {
      work_(entry->batch, BatchRun(scheduler_.JobSlot(), entry->dropped));
      entry->done.store(true, std::memory_order_relaxed);
      return;
    }
    scheduler_.Publish([this] { ++running_; });
    scheduler_.Run([this, entry] {
      if (!entry->dropped.load(std::memory_order_relaxed))
        work_(entry->batch, BatchRun(WorkerPool::CurrentWorker(), entry->dropped));
      scheduler_.Publish([this, &entry] {
        entry->done.store(true, std::memory_order_release);
        --running_;
      });
    });
  }
  // Queues a batch that needs no work (a note to merge in its turn).
  void Queue(Batch batch) {
    auto entry = std::make_shared<Entry>(std::move(batch));
    entry->done.store(true, std::memory_order_relaxed);
    out_.push_back(std::move(entry));
  }

  // Batches handed out or queued and not yet taken back.
  std::size_t Out() const { return out_.size(); }
  bool Empty() const { return out_.empty(); }
  bool Full() const { return out_.size() >= mostOut_; }

  // The first batch not yet taken back, once its work is done; null while it runs or
  // when nothing is out.
  Batch* DoneHead() { return HeadDone() ? &out_.front()->batch : nullptr; }
  // Takes the head back: it leaves the lane.
  void PopHead() { out_.pop_front(); }
  // Whether the head's work is done; may be asked in a WaitUntil condition.
  bool HeadDone() const {
    return !out_.empty() && out_.front()->done.load(std::memory_order_acquire);
  }
  // Waits, with the window live, until the head is done. False when nothing is out, or
  // once the stop flag is set.
  bool WaitForHead() {
    if (out_.empty()) return false;
    return scheduler_.WaitUntil([this] { return HeadDone(); });
  }

  // Waits, with the window live, until the head is done, after a stop too: for work that
  // must end (what a job stores at its end).
  void WaitOutHead() {
    if (!out_.empty()) scheduler_.WaitOut([this] { return HeadDone(); });
  }

  // Drops every batch not taken back.
  void Drop() {
    for (const std::shared_ptr<Entry>& entry : out_)
      entry->dropped.store(true, std::memory_order_relaxed);
    out_.clear();
  }
  // Drops, then waits, with the window live, until no dropped batch runs.
  void DropAndWaitOut() {
    Drop();
    scheduler_.WaitOut([this] { return running_ == 0; });
  }

 private:
  struct Entry {
    explicit Entry(Batch&& work) : batch(std::move(work)) {}
    Batch batch;
    std::atomic<bool> done{false};
    std::atomic<bool> dropped{false};
  };

  BatchScheduler& scheduler_;
  const std::size_t mostOut_;
  const Work work_;
  std::deque<std::shared_ptr<Entry>> out_;  // in hand-out order
  unsigned running_ = 0;                    // batches on workers; under the scheduler's lock
};

}  // namespace tarnwick
