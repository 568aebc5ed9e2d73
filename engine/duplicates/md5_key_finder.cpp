#include "engine/duplicates/md5_key_finder.h"

#include <algorithm>
#include <chrono>
#include <string>

#include "engine/duplicates/md5_key.h"
#include "engine/schedule/descriptor_budget.h"
#include "platform/read_only_file.h"
#include "results/size_text.h"

namespace tarnwick {
namespace {

// Small reads handed out at once (and then the rest of the last one's folder, up to the
// most): a batch costs a worker a folder's open and a millisecond or so.
constexpr std::size_t kSmallBatch = 32;
constexpr std::size_t kMostInBatch = 256;
// Batches out per worker and lane: one in hand and some waiting, so that no worker
// waits for the job's thread; and no more than a share of descriptors, since a running
// read holds a folder and a file open.
std::size_t BatchesOut(std::size_t perWorker, unsigned workers) {
  return std::min(perWorker * workers, DescriptorShare());
}
// Reads waiting beyond this hold the walk until the workers have caught up halfway.
constexpr std::size_t kMostWaiting = 1 << 16;
// How often the job's thread looks up from its wait for the workers: the status line.
// Reading on the job's thread, it shows the file it reads as often.
constexpr auto kWaitStep = std::chrono::milliseconds(20);

}  // namespace

Md5KeyFinder::Md5KeyFinder(const FoundFiles& files, WorkerPool* pool, DigestCache* cache,
                           JobHost& host, const StopFlag& stop)
    : files_(files),
      host_(host),
      stop_(stop),
      scheduler_(pool, host, stop),
      workerStop_([&stop] { return stop.IsSet(); }),
      hereStop_([this] {
        host_.ProcessPendingEvents();
        ShowReading();
        return stop_.IsSet();
      }),
      cache_(cache, scheduler_),
      smallReads_(scheduler_, BatchesOut(4, scheduler_.Workers()),
                  [this](ReadBatch& batch, const BatchRun& run) { Read(batch, run); }),
      bigReads_(scheduler_, BatchesOut(1, scheduler_.Workers()),
                [this](ReadBatch& batch, const BatchRun& run) { Read(batch, run); }) {
  for (unsigned slot = 0; slot < scheduler_.Slots(); ++slot) readers_.emplace_back(cache_.InUse());
}

Md5KeyFinder::~Md5KeyFinder() = default;

void Md5KeyFinder::Add(std::uint32_t file, const FileStamp& stamp, bool regular) {
  table_.Add(cache_.InUse());
  if (!regular) return;
  if (cache_.InUse() && stamp.size > 0) {
    // Looked up now, while the walk's stamp is at hand: only its print is kept.
    table_.SetPrint(file, StampPrint(stamp));
    if (cache_.Ask(file, stamp, files_.Folder(file))) {
      while (!cache_.CanSend() && !stop_.IsSet()) {
        WaitStep();
        MergeDone();
      }
      cache_.SendAsked();
    }
  }
  const BucketTable::Joined joined =
      bySize_.Join(file, stamp.size, 0, [](std::uint32_t) { return std::uint64_t{0}; });
  table_.SetSizeBucket(file, joined.bucket);
  if (joined.firstToMoveOn != BucketTable::kNone) Enter(joined.firstToMoveOn);
  if (joined.moveOn) Enter(file);
  MergeDone();
  HandOut(false);
  if (smallWaiting_.size() + bigWaiting_.size() <= kMostWaiting) return;
  // The workers lag far behind the walk: wait for them, so that what waits stays small.
  while (!stop_.IsSet() && smallWaiting_.size() + bigWaiting_.size() > kMostWaiting / 2) {
    WaitStep();
    MergeDone();
    HandOut(false);
  }
}

void Md5KeyFinder::Enter(std::uint32_t file) {
  // A file the cache may know of waits for its lookup.
  if (cache_.InUse() && SizeOf(file) > 0 && !table_.Has(file, FileKeyTable::kLookedUp)) {
    table_.Mark(file, FileKeyTable::kEntered);
    return;
  }
  Advance(file, Stage::Ends);
}

void Md5KeyFinder::OnLookedUp(std::uint32_t file, const KnownDigests& digests) {
  table_.Learn(file, digests);
  table_.Mark(file, FileKeyTable::kLookedUp);
  if (table_.Has(file, FileKeyTable::kEntered)) Advance(file, Stage::Ends);
}

void Md5KeyFinder::Advance(std::uint32_t file, Stage stage) {
  if (table_.Knows(file, stage)) return Continue(file, stage);
  const std::int64_t size = SizeOf(file);
  const StageReadItem item{file,
                           stage,
                           size,
                           cache_.InUse() ? table_.Print(file) : 0,
                           files_.Folder(file),
                           files_.Name(file)};
  (RuleOf(stage).readsWholeBigFile(size) ? bigWaiting_ : smallWaiting_).push_back(item);
}

void Md5KeyFinder::Continue(std::uint32_t file, Stage stage) {
  if (stage == Stage::Ends && SizeOf(file) == 0) {
    // Every empty file has the same key: nothing to read, only the file to open.
    table_.SetKey(file, EmptyFileKey());
    table_.Mark(file, FileKeyTable::kHasKey);
    return;
  }
  if (stage == Stage::Md5) {
    table_.Mark(file, FileKeyTable::kHasKey);
    return;
  }
  Join(stage, file);
}

void Md5KeyFinder::Join(Stage stage, std::uint32_t file) {
  const std::int64_t size = SizeOf(file);
  const bool byEnds = stage == Stage::Ends;
  BucketTable& table = byEnds ? byEnds_ : byWhole_;
  const auto valueOf = [&](std::uint32_t known) {
    return byEnds ? table_.Ends(known) : table_.Whole(known);
  };
  const BucketTable::Joined joined = table.Join(file, size, valueOf(file), valueOf);
  const Stage next = RuleOf(stage).next(size);
  if (joined.firstToMoveOn != BucketTable::kNone) Advance(joined.firstToMoveOn, next);
  if (joined.moveOn) Advance(file, next);
}

void Md5KeyFinder::OnRead(const StageReadResult& result) {
  if (result.end != ReadEnd::Done) {
    // A vanished file or a special one is no error of the job; a refusal is.
    if (result.end == ReadEnd::Unreadable && platform::IsReadFailure(result.error))
      errors_.push_back({result.file, result.error});
    return;
  }
  table_.Learn(result.file, result.digests);
  table_.Mark(result.file, FileKeyTable::kRead);
  if (!result.cacheable) table_.Mark(result.file, FileKeyTable::kUncacheable);
  Continue(result.file, result.stage);
}

void Md5KeyFinder::MergeDone() {
  cache_.TakeAnswers(
      [this](std::uint32_t file, const KnownDigests& digests) { OnLookedUp(file, digests); });
  for (ReadLane* lane : {&smallReads_, &bigReads_}) {
    while (ReadBatch* batch = lane->DoneHead()) {
      for (const StageReadResult& result : batch->results) OnRead(result);
      lane->PopHead();
    }
  }
}

void Md5KeyFinder::HandOut(bool partial) {
  // Without workers a batch is read as it is handed out, and what it makes known may
  // call for more reads: they are read in turn.
  for (bool more = true; more && !stop_.IsSet();) {
    more = false;
    while (!smallWaiting_.empty() && !smallReads_.Full() &&
           (partial || smallWaiting_.size() >= kSmallBatch)) {
      // A batch, and then the rest of its last folder: each folder is opened once.
      ReadBatch batch;
      while (!smallWaiting_.empty() &&
             (batch.items.size() < kSmallBatch ||
              (batch.items.size() < kMostInBatch &&
               smallWaiting_.front().folder.data() == batch.items.back().folder.data()))) {
        batch.items.push_back(smallWaiting_.front());
        smallWaiting_.pop_front();
      }
      smallReads_.HandOut(std::move(batch));
      more = true;
    }
    while (!bigWaiting_.empty() && !bigReads_.Full()) {
      ReadBatch batch;
      batch.items.push_back(bigWaiting_.front());
      bigWaiting_.pop_front();
      bigReads_.HandOut(std::move(batch));
      more = true;
    }
    if (scheduler_.Workers() > 0) return;
    MergeDone();
  }
}

bool Md5KeyFinder::Idle() const {
  return smallWaiting_.empty() && bigWaiting_.empty() && smallReads_.Empty() && bigReads_.Empty() &&
         !cache_.Waiting();
}

void Md5KeyFinder::WaitStep() {
  const auto until = std::chrono::steady_clock::now() + kWaitStep;
  scheduler_.WaitUntil([&] {
    return smallReads_.HeadDone() || bigReads_.HeadDone() || cache_.AnswerReady() ||
           std::chrono::steady_clock::now() >= until;
  });
  ShowReading();
}

void Md5KeyFinder::Finish() {
  // After a stop the cache is not waited for: the files that wait for it are left out.
  if (!stop_.IsSet()) cache_.SendAsked();
  for (;;) {
    MergeDone();
    HandOut(true);
    if (stop_.IsSet() || Idle()) break;
    WaitStep();
  }
  if (stop_.IsSet()) {
    // Reads that ended before the stop still count; what they would lead to is not
    // started.
    smallReads_.DropAndWaitOut();
    bigReads_.DropAndWaitOut();
    cache_.Drop();
  }
  smallWaiting_.clear();
  bigWaiting_.clear();
  // Reported in walk order, whatever order the reads ended in.
  std::sort(errors_.begin(), errors_.end(),
            [](const FileReadError& a, const FileReadError& b) { return a.file < b.file; });
  cache_.Store(table_, files_, [this](std::uint32_t file) { return SizeOf(file); });
}

void Md5KeyFinder::Read(ReadBatch& batch, const BatchRun& run) {
  StageReader& reader = readers_[run.Slot()];
  const bool here = run.Slot() == scheduler_.JobSlot();
  batch.results.reserve(batch.items.size());
  for (const StageReadItem& item : batch.items) {
    if (run.Dropped() || stop_.IsSet()) break;
    reading_.store(item.file, std::memory_order_relaxed);
    batch.results.push_back(reader.Read(item, here ? hereStop_ : workerStop_));
  }
}

void Md5KeyFinder::ShowReading() {
  const std::uint32_t file = reading_.load(std::memory_order_relaxed);
  if (file == FileKeyTable::kNone || file == shownReading_) return;
  // A status line for every small file would cost more than reading it.
  const auto now = std::chrono::steady_clock::now();
  if (now - shownAt_ < kWaitStep) return;
  shownAt_ = now;
  shownReading_ = file;
  std::string path;
  files_.PathOf(file, path);
  host_.SetStatusText("大小 " + SizeText(SizeOf(file)) + "，正在读MD5：" + path);
  host_.RefreshStatus();
}

}  // namespace tarnwick
