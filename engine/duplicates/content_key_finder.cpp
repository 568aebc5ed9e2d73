#include "engine/duplicates/content_key_finder.h"

#include <unistd.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <unordered_map>

#include "engine/duplicates/file_digests.h"
#include "engine/duplicates/folder_batch.h"
#include "engine/schedule/descriptor_budget.h"
#include "platform/folder_handle.h"
#include "platform/read_only_file.h"
#include "results/size_text.h"

namespace tarnwick {
namespace {

// What is read ahead of a small read: a small file whole, or a big file's first end.
constexpr std::size_t kStageReadAhead = 128 * 1024;

// A folder held open (a handle, for opening its files) while reads of its files wait.
struct FolderHandle {
  explicit FolderHandle(std::string_view folder) : fd(platform::OpenFolderHandle(folder)) {}
  ~FolderHandle() {
    if (fd >= 0) ::close(fd);
  }
  FolderHandle(const FolderHandle&) = delete;
  FolderHandle& operator=(const FolderHandle&) = delete;
  const int fd;
};

// Small reads handed out at once (and then the rest of the last one's folder, up to the
// most): a batch costs a worker a folder's open and a millisecond or so.
constexpr std::size_t kSmallBatch = 32;
constexpr std::size_t kMostInBatch = 256;
// Reads waiting beyond this hold the walk until the workers have caught up halfway.
constexpr std::size_t kMostWaiting = 1 << 16;
// How often the job's thread looks up from its wait for the workers: the status line.
// Reading on the job's thread, it shows the file it reads as often.
constexpr auto kWaitStep = std::chrono::milliseconds(20);
// Files of one bucket compared side by side, at most.
constexpr std::size_t kMostComparedTogether = 64;

// Batches out per worker and lane: one in hand and some waiting, so that no worker
// waits for the job's thread; and no more descriptors than a share, since a running
// read holds a folder and a file open.
std::size_t BatchesOut(std::size_t perWorker, unsigned workers, std::size_t descriptorsEach = 1) {
  return std::min(perWorker * workers,
                  std::max<std::size_t>(1, DescriptorShare() / descriptorsEach));
}

ProgressUnit ProgressUnitOf(DuplicateStage stage) {
  return stage == DuplicateStage::LookUp || stage == DuplicateStage::CompareEnds
             ? ProgressUnit::Files
             : ProgressUnit::Bytes;
}

// What a file of `size` bytes adds to a stage's progress.
std::uint64_t ProgressAmount(DuplicateStage stage, std::int64_t size) {
  return ProgressUnitOf(stage) == ProgressUnit::Files ? 1 : static_cast<std::uint64_t>(size);
}

}  // namespace

ContentKeyFinder::ContentKeyFinder(const FoundFiles& files, WorkerPool* pool, DigestCache* cache,
                                   JobHost& host, const StopFlag& stop, const ReadSettings& reads)
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
      proveByDigest_(cache_.InUse()),
      mostCompared_(std::clamp<std::size_t>(DescriptorShare(), 2, kMostComparedTogether)),
      readSettings_(reads),
      smallReads_(scheduler_, BatchesOut(4, scheduler_.Workers()),
                  [this](ReadBatch& batch, const BatchRun& run) { Read(batch, run); }),
      bigReads_(scheduler_, BatchesOut(1, scheduler_.Workers()),
                [this](ReadBatch& batch, const BatchRun& run) { Read(batch, run); }),
      compares_(scheduler_, BatchesOut(2, scheduler_.Workers(), mostCompared_),
                [this](CompareBatch& batch, const BatchRun& run) { Compare(batch, run); }) {
  for (unsigned slot = 0; slot < scheduler_.Slots(); ++slot) readers_.emplace_back();
}

ContentKeyFinder::~ContentKeyFinder() = default;

void ContentKeyFinder::Add(std::uint32_t file, const FileStamp& stamp, bool regular,
                           bool cacheable) {
  table_.Add(StampPrint(stamp));
  if (!regular) return;
  if (!cacheable) table_.Mark(file, FileKeyTable::kUncacheable);
  if (cache_.InUse() && cacheable && stamp.size > 0) {
    if (cache_.Ask(file, stamp, files_.Folder(file))) {
      Plan(DuplicateStage::LookUp, 1);
      while (!cache_.CanSend() && !stop_.IsSet()) {
        WaitStep();
        MergeDone();
      }
      cache_.SendAsked();
    }
  } else {
    table_.Mark(file, FileKeyTable::kLookedUp);  // nothing to learn
  }
  const BucketTable::Joined joined = bySize_.Join(file, stamp.size, 0);
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

void ContentKeyFinder::Enter(std::uint32_t file) {
  // A file the cache may know of waits for its lookup.
  if (!table_.Has(file, FileKeyTable::kLookedUp)) {
    table_.Mark(file, FileKeyTable::kEntered);
    return;
  }
  Advance(file, Stage::Ends);
}

void ContentKeyFinder::OnLookedUp(std::uint32_t file, const KnownDigests& digests) {
  Done(DuplicateStage::LookUp, 1);
  table_.Learn(file, digests);
  table_.Mark(file, FileKeyTable::kLookedUp);
  if (table_.Has(file, FileKeyTable::kEntered)) Advance(file, Stage::Ends);
}

void ContentKeyFinder::Advance(std::uint32_t file, Stage stage) {
  if (stage == Stage::Ends && proveByDigest_ && KeptAside(file)) return;
  if (table_.Knows(file, stage)) return Continue(file, stage);
  const StageReadItem item{file, stage, table_.Print(file), files_.Folder(file), files_.Name(file)};
  Plan(ProgressStage(stage), ProgressAmount(ProgressStage(stage), SizeOf(file)));
  (RuleOf(stage).readsWholeBigFile(SizeOf(file)) ? bigWaiting_ : smallWaiting_).push_back(item);
}

bool ContentKeyFinder::KeptAside(std::uint32_t file) {
  const std::uint32_t sizeBucket = table_.SizeBucket(file);
  if (table_.Knows(file, Stage::Digest)) {
    if (!settled_.KeepAside(file, sizeBucket)) return false;
    table_.Mark(file, FileKeyTable::kHasKey);
    return true;
  }
  // This file may be the like of those kept aside: they take their places first.
  for (const std::uint32_t kept : settled_.Open(sizeBucket)) Advance(kept, Stage::Ends);
  return false;
}

void ContentKeyFinder::Continue(std::uint32_t file, Stage stage) {
  if (stage == Stage::Ends && SizeOf(file) == 0) {
    // Every file that proved empty holds the same (no) bytes.
    table_.SetClass(file, table_.EmptyClass());
    return;
  }
  if (stage == Stage::Digest) {
    table_.Mark(file, FileKeyTable::kHasKey);
    return;
  }
  Join(stage, file);
}

void ContentKeyFinder::Join(Stage stage, std::uint32_t file) {
  const std::int64_t size = SizeOf(file);
  const bool byEnds = stage == Stage::Ends;
  BucketTable& table = byEnds ? byEnds_ : byWhole_;
  const BucketTable::Joined joined =
      table.Join(file, size, byEnds ? table_.Ends(file) : table_.Whole(file));
  std::vector<std::uint32_t> movingOn;
  if (joined.firstToMoveOn != BucketTable::kNone) movingOn.push_back(joined.firstToMoveOn);
  if (joined.moveOn) movingOn.push_back(file);
  for (const std::uint32_t moving : movingOn) {
    // Without a digest to keep, what agrees on the ends is compared byte for byte once
    // its bucket is complete, after the walk: one read of each file settles it. A small
    // file digested as its ends were read is proven by that digest.
    if (!proveByDigest_ && !table_.Knows(moving, Stage::Digest)) {
      candidates_.push_back({stage, joined.bucket, moving});
    } else {
      Advance(moving, RuleOf(stage).next(size));
    }
  }
}

void ContentKeyFinder::OnRead(const StageReadResult& result) {
  const DuplicateStage progress = ProgressStage(result.stage);
  Done(progress, ProgressAmount(progress, SizeOf(result.file)));
  switch (result.end) {
    case ReadEnd::Done:
      table_.Learn(result.file, result.digests);
      table_.Mark(result.file, FileKeyTable::kRead);
      if (!result.cacheable) table_.Mark(result.file, FileKeyTable::kUncacheable);
      return Continue(result.file, result.stage);
    case ReadEnd::Unreadable:
      // A vanished file or a special one is no error of the job; a refusal is.
      if (platform::IsReadFailure(result.error)) errors_.push_back({result.file, result.error});
      return;
    case ReadEnd::Changed:
      changed_.push_back(result.file);
      return;
    case ReadEnd::Unsized:
    case ReadEnd::Stopped:
      return;
  }
}

void ContentKeyFinder::OnCompared(const BucketToCompare& batch) {
  Done(DuplicateStage::CompareWhole, ComparedBytes(batch));
  const CompareOutcome& outcome = batch.outcome;
  // Not reached, or stopped midway: nothing proven.
  if (outcome.stopped || outcome.sameAs.size() != batch.items.size()) return;
  for (const auto& [item, error] : outcome.unreadable) {
    if (platform::IsReadFailure(error)) errors_.push_back({batch.items[item].file, error});
  }
  for (const std::uint32_t item : outcome.changed) changed_.push_back(batch.items[item].file);
  std::unordered_map<std::uint32_t, std::uint32_t> classOfFirst;
  for (std::uint32_t item = 0; item < batch.items.size(); ++item) {
    const std::uint32_t first = outcome.sameAs[item];
    if (first == CompareOutcome::kAlone) continue;
    auto [known, created] = classOfFirst.try_emplace(first, 0);
    if (created) {
      known->second = first == 0 && batch.firstFileClass != FileKeyTable::kNone
                          ? batch.firstFileClass
                          : table_.NewClass();
    }
    table_.SetClass(batch.items[item].file, known->second);
  }
}

void ContentKeyFinder::MergeDone() {
  cache_.TakeAnswers(
      [this](std::uint32_t file, const KnownDigests& digests) { OnLookedUp(file, digests); });
  for (OrderedBatches<ReadBatch>* lane : {&smallReads_, &bigReads_}) {
    while (ReadBatch* batch = lane->DoneHead()) {
      for (const StageReadResult& result : batch->results) OnRead(result);
      lane->PopHead();
    }
  }
  while (CompareBatch* batch = compares_.DoneHead()) {
    for (const BucketToCompare& bucket : batch->buckets) OnCompared(bucket);
    compares_.PopHead();
  }
}

void ContentKeyFinder::HandOut(bool partial) {
  // Without workers a batch is read as it is handed out, and what it makes known may
  // call for more reads: they are read in turn.
  for (bool more = true; more && !stop_.IsSet();) {
    more = false;
    while (!smallWaiting_.empty() && !smallReads_.Full() &&
           (partial || smallWaiting_.size() >= kSmallBatch)) {
      ReadBatch batch;
      TakeFolderBatch(smallWaiting_, kSmallBatch, kMostInBatch, batch.items);
      AskReads(batch);
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

bool ContentKeyFinder::CompareCandidates() {
  if (candidates_.empty()) return false;
  std::sort(candidates_.begin(), candidates_.end(), [](const Candidate& a, const Candidate& b) {
    return std::tie(a.stage, a.bucket, a.file) < std::tie(b.stage, b.bucket, b.file);
  });
  std::vector<Candidate> buckets;
  buckets.swap(candidates_);
  bool handedOut = false;
  for (std::size_t first = 0; first < buckets.size();) {
    std::size_t end = first + 1;
    while (end < buckets.size() && buckets[end].stage == buckets[first].stage &&
           buckets[end].bucket == buckets[first].bucket)
      ++end;
    const std::int64_t size = SizeOf(buckets[first].file);
    const bool tooMany = end - first > mostCompared_;
    if (tooMany && buckets[first].stage == Stage::Ends && !EndsCoverWholeFile(size)) {
      // Too many big files to read side by side: their whole-content hashes split the
      // bucket first, and each part comes back to be compared.
      for (std::size_t index = first; index < end; ++index)
        Advance(buckets[index].file, Stage::Whole);
      handedOut = true;
    } else if (end - first >= 2) {
      std::vector<CompareItem> items;
      for (std::size_t index = first; index < end; ++index) {
        const std::uint32_t file = buckets[index].file;
        items.push_back({file, table_.Print(file), files_.Folder(file), files_.Name(file)});
      }
      CompareBucket(items, size);
      handedOut = true;
    }
    first = end;
  }
  HandOutCompares();
  return handedOut;
}

void ContentKeyFinder::CompareBucket(std::vector<CompareItem>& items, std::int64_t size) {
  if (items.size() <= mostCompared_) {
    QueueCompare({std::move(items), size, FileKeyTable::kNone, {}});
    return;
  }
  // In parts that each hold the bucket's first file, whose class they share.
  const std::uint32_t firstFileClass = table_.NewClass();
  for (std::size_t next = 1; next < items.size() && !stop_.IsSet();) {
    BucketToCompare part;
    part.size = size;
    part.firstFileClass = firstFileClass;
    part.items.push_back(items.front());
    while (next < items.size() && part.items.size() < mostCompared_)
      part.items.push_back(items[next++]);
    QueueCompare(std::move(part));
  }
}

void ContentKeyFinder::QueueCompare(BucketToCompare bucket) {
  // A bucket of big files keeps a worker busy on its own.
  const bool big = !EndsCoverWholeFile(bucket.size);
  if (big) HandOutCompares();
  Plan(DuplicateStage::CompareWhole, ComparedBytes(bucket));
  comparing_.files += bucket.items.size();
  comparing_.buckets.push_back(std::move(bucket));
  if (big || comparing_.files >= kSmallBatch) HandOutCompares();
}

void ContentKeyFinder::HandOutCompares() {
  if (comparing_.buckets.empty()) return;
  while (compares_.Full() && !stop_.IsSet()) {
    WaitStep();
    MergeDone();
  }
  compares_.HandOut(std::move(comparing_));
  comparing_ = {};
  MergeDone();
}

void ContentKeyFinder::Compare(CompareBatch& batch, const BatchRun& run) {
  const bool here = run.Slot() == scheduler_.JobSlot();
  for (BucketToCompare& bucket : batch.buckets) {
    if (run.Dropped() || stop_.IsSet() || bucket.items.empty()) return;
    reading_.store(bucket.items.front().file, std::memory_order_relaxed);
    bucket.outcome = CompareBytes(bucket.items, bucket.size, here ? hereStop_ : workerStop_);
  }
}

bool ContentKeyFinder::Idle() const {
  return smallWaiting_.empty() && bigWaiting_.empty() && smallReads_.Empty() && bigReads_.Empty() &&
         compares_.Empty() && !cache_.Waiting();
}

void ContentKeyFinder::WaitStep() {
  const auto until = std::chrono::steady_clock::now() + kWaitStep;
  scheduler_.WaitUntil([&] {
    return smallReads_.HeadDone() || bigReads_.HeadDone() || compares_.HeadDone() ||
           cache_.AnswerReady() || std::chrono::steady_clock::now() >= until;
  });
  ShowReading();
}

void ContentKeyFinder::Drain() {
  for (;;) {
    MergeDone();
    HandOut(true);
    if (stop_.IsSet()) return;
    if (Idle()) {
      // The buckets are complete only once every read is in.
      if (!CompareCandidates()) return;
      continue;
    }
    WaitStep();
  }
}

void ContentKeyFinder::Finish() {
  // After a stop the cache is not waited for: the files that wait for it are left out.
  if (!stop_.IsSet()) cache_.SendAsked();
  Drain();
  if (stop_.IsSet()) {
    // Reads that ended before the stop still count; what they would lead to is not
    // started.
    smallReads_.DropAndWaitOut();
    bigReads_.DropAndWaitOut();
    compares_.DropAndWaitOut();
    cache_.Drop();
  }
  smallWaiting_.clear();
  bigWaiting_.clear();
  candidates_.clear();
  // Reported in walk order, whatever order the reads ended in.
  std::sort(errors_.begin(), errors_.end(),
            [](const FileReadError& a, const FileReadError& b) { return a.file < b.file; });
  std::sort(changed_.begin(), changed_.end());
  changed_.erase(std::unique(changed_.begin(), changed_.end()), changed_.end());
  cache_.Store(table_, files_, [this](std::uint32_t file) { return SizeOf(file); });
}

void ContentKeyFinder::AskReads(ReadBatch& batch) {
  if (scheduler_.Workers() == 0) return;
  if (readSettings_.depth == 0 && !deviceWaits_.Seen()) return;
  // The batch's folders, each opened once, held open until their files are opened.
  std::string_view folder;
  std::shared_ptr<const FolderHandle> handle;
  for (const StageReadItem& item : batch.items) {
    if (!handle || item.folder.data() != folder.data()) {
      folder = item.folder;
      handle = std::make_shared<const FolderHandle>(folder);
      if (!reads_ && handle->fd >= 0) {
        const platform::DeviceKind kind =
            readSettings_.device.value_or(platform::DeviceKindOf(handle->fd));
        reads_ = std::make_unique<ReadQueue>(readSettings_, kind, kStageReadAhead);
      }
    }
    ReadQueue::Ticket ticket = ReadQueue::kNoTicket;
    if (reads_ && handle->fd >= 0) ticket = reads_->Ask(handle, handle->fd, item.name, 0);
    batch.tickets.Add(reads_.get(), ticket);
  }
}

void ContentKeyFinder::Read(ReadBatch& batch, const BatchRun& run) {
  StageReader& reader = readers_[run.Slot()];
  const bool here = run.Slot() == scheduler_.JobSlot();
  batch.results.reserve(batch.items.size());
  for (std::size_t i = 0; i < batch.items.size(); ++i) {
    if (run.Dropped() || stop_.IsSet()) break;
    const StageReadItem& item = batch.items[i];
    reading_.store(item.file, std::memory_order_relaxed);
    const StopRequest& stop = here ? hereStop_ : workerStop_;
    const ReadQueue::Ticket ticket = batch.tickets.Claim(i);
    if (ticket == ReadQueue::kNoTicket) {
      const DeviceWaits::Sample sample(deviceWaits_, i, true);
      batch.results.push_back(reader.Read(item, stop));
      continue;
    }
    ReadQueue& queue = *batch.tickets.Queue();
    batch.results.push_back(reader.Read(item, stop, &queue.Take(ticket)));
    queue.Release(ticket);
  }
}

std::uint64_t ContentKeyFinder::ComparedBytes(const BucketToCompare& bucket) {
  return static_cast<std::uint64_t>(bucket.size) * bucket.items.size();
}

DuplicateStage ContentKeyFinder::ProgressStage(Stage stage) {
  switch (stage) {
    case Stage::Ends:
      return DuplicateStage::CompareEnds;
    case Stage::Whole:
      return DuplicateStage::CompareWhole;
    case Stage::Digest:
      break;
  }
  return DuplicateStage::ReadMd5;
}

void ContentKeyFinder::Plan(DuplicateStage stage, std::uint64_t amount) {
  StageProgress& progress = progress_[static_cast<int>(stage)];
  progress.total += amount;
  if (progress.total > 0)
    host_.ShowDuplicateProgress(stage, progress.done, progress.total, ProgressUnitOf(stage));
}

void ContentKeyFinder::Done(DuplicateStage stage, std::uint64_t amount) {
  StageProgress& progress = progress_[static_cast<int>(stage)];
  progress.done = std::min(progress.total, progress.done + amount);
  if (progress.total > 0)
    host_.ShowDuplicateProgress(stage, progress.done, progress.total, ProgressUnitOf(stage));
}

void ContentKeyFinder::ShowReading() {
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
