#pragma once
// The reads of the duplicate filter's text keys (文本, 相似). Every file handed in is read
// on the job's workers, a folder's files to a batch, through a lane of the job's
// scheduler (ordered_batches.h); each result comes back on the job's thread in the order
// the files were handed in, so that whatever is built from the results is built in walk
// order. The walk is held while the reads lag far behind it; Finish waits for the rest
// with the window live; a stop ends the reads in hand within one piece of a file and
// leaves the rest out. Without workers the reads run on the job's thread, which handles
// window events between pieces.
//
// `Reader` reads on one thread: `Result Read(const TextReadItem&, const StopRequest&)`.
// The lane keeps one per scheduler slot.

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "engine/duplicates/digest_read.h"
#include "engine/duplicates/folder_batch.h"
#include "engine/duplicates/found_files.h"
#include "engine/job/job_host.h"
#include "engine/job/stop_flag.h"
#include "engine/schedule/batch_scheduler.h"
#include "engine/schedule/descriptor_budget.h"
#include "engine/schedule/ordered_batches.h"
#include "engine/schedule/worker_pool.h"

namespace tarnwick {

// One file to read: nothing the reader shares with the job's thread but texts that
// never move (FoundFiles).
struct TextReadItem {
  std::uint32_t file;
  std::string_view folder;
  const char* name;
  std::uint64_t print;  // of the stamp the walk saw
};

template <typename Reader>
class TextReadLane {
 public:
  using Result = decltype(std::declval<Reader&>().Read(std::declval<const TextReadItem&>(),
                                                       std::declval<const StopRequest&>()));
  // Called on the job's thread for each result, in the order the files were added.
  using Take = std::function<void(Result& result)>;

  // `files`, `pool` (null: read on the job's thread), `host` and `stop` must outlive the
  // lane. `makeReader` is called once per scheduler slot, here.
  TextReadLane(const FoundFiles& files, WorkerPool* pool, JobHost& host, const StopFlag& stop,
               const std::function<std::unique_ptr<Reader>()>& makeReader, Take take)
      : files_(files),
        host_(host),
        stop_(stop),
        take_(std::move(take)),
        scheduler_(pool, host, stop),
        workerStop_([&stop] { return stop.IsSet(); }),
        hereStop_([this] {
          host_.ProcessPendingEvents();
          ShowReading();
          return stop_.IsSet();
        }),
        reads_(scheduler_, std::min<std::size_t>(4 * scheduler_.Workers(), DescriptorShare()),
               [this](Batch& batch, const BatchRun& run) { Read(batch, run); }) {
    for (unsigned slot = 0; slot < scheduler_.Slots(); ++slot) readers_.push_back(makeReader());
  }
  TextReadLane(const TextReadLane&) = delete;
  TextReadLane& operator=(const TextReadLane&) = delete;

  // Queues the file numbered `file` of `files`, as the walk saw it (`print`).
  void Add(std::uint32_t file, std::uint64_t print) {
    waiting_.push_back({file, files_.Folder(file), files_.Name(file), print});
    MergeDone();
    HandOut(false);
    if (waiting_.size() <= kMostWaiting) return;
    // The workers lag far behind the walk: wait for them, so that what waits stays small.
    while (!stop_.IsSet() && waiting_.size() > kMostWaiting / 2) {
      WaitStep();
      MergeDone();
      HandOut(false);
    }
  }

  // Reads the rest and returns once every result has been taken, or once the stop flag
  // is set: the reads in hand then end within one piece and are left out.
  void Finish() {
    for (;;) {
      MergeDone();
      HandOut(true);
      if (stop_.IsSet() || (waiting_.empty() && reads_.Empty())) break;
      WaitStep();
    }
    if (stop_.IsSet()) reads_.DropAndWaitOut();
    waiting_.clear();
  }

  // What a read on the job's thread takes for a stop request: window events are handled
  // between pieces.
  const StopRequest& HereStop() const { return hereStop_; }

 private:
  struct Batch {
    std::vector<TextReadItem> items;
    std::vector<Result> results;
  };

  // A batch costs a worker a folder's open and a millisecond or so: the first files, and
  // then the rest of the last one's folder, up to the most.
  static constexpr std::size_t kBatch = 32;
  static constexpr std::size_t kMostInBatch = 256;
  // Reads waiting beyond this hold the walk until the workers have caught up halfway.
  static constexpr std::size_t kMostWaiting = 1 << 16;
  // How often the job's thread looks up from its wait: the status line.
  static constexpr auto kWaitStep = std::chrono::milliseconds(20);

  void MergeDone() {
    while (Batch* batch = reads_.DoneHead()) {
      for (Result& result : batch->results) take_(result);
      reads_.PopHead();
    }
  }

  void HandOut(bool partial) {
    // Without workers a batch is read as it is handed out.
    while (!waiting_.empty() && !reads_.Full() && !stop_.IsSet() &&
           (partial || waiting_.size() >= kBatch)) {
      Batch batch;
      TakeFolderBatch(waiting_, kBatch, kMostInBatch, batch.items);
      reads_.HandOut(std::move(batch));
      if (scheduler_.Workers() == 0) MergeDone();
    }
  }

  void WaitStep() {
    const auto until = std::chrono::steady_clock::now() + kWaitStep;
    scheduler_.WaitUntil(
        [&] { return reads_.HeadDone() || std::chrono::steady_clock::now() >= until; });
    ShowReading();
  }

  void Read(Batch& batch, const BatchRun& run) {
    Reader& reader = *readers_[run.Slot()];
    const bool here = run.Slot() == scheduler_.JobSlot();
    batch.results.reserve(batch.items.size());
    for (const TextReadItem& item : batch.items) {
      if (run.Dropped() || stop_.IsSet()) break;
      reading_.store(item.file, std::memory_order_relaxed);
      batch.results.push_back(reader.Read(item, here ? hereStop_ : workerStop_));
    }
  }

  // Shows the file a read is on, at most once a wait step.
  void ShowReading() {
    const std::uint32_t file = reading_.load(std::memory_order_relaxed);
    if (file == kNone || file == shownReading_) return;
    const auto now = std::chrono::steady_clock::now();
    if (now - shownAt_ < kWaitStep) return;
    shownAt_ = now;
    shownReading_ = file;
    std::string path;
    files_.PathOf(file, path);
    host_.SetStatusText("正在读文本：" + path);
    host_.RefreshStatus();
  }

  static constexpr std::uint32_t kNone = 0xFFFFFFFF;

  const FoundFiles& files_;
  JobHost& host_;
  const StopFlag& stop_;
  const Take take_;
  BatchScheduler scheduler_;
  const StopRequest workerStop_;
  const StopRequest hereStop_;
  std::vector<std::unique_ptr<Reader>> readers_;  // one per scheduler slot
  std::deque<TextReadItem> waiting_;
  std::atomic<std::uint32_t> reading_{kNone};
  std::uint32_t shownReading_ = kNone;
  std::chrono::steady_clock::time_point shownAt_{};
  // Declared last: it ends first, waiting for the reads still running.
  OrderedBatches<Batch> reads_;
};

}  // namespace tarnwick
