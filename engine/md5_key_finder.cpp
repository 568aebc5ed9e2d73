#include "engine/md5_key_finder.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <ctime>
#include <string>
#include <utility>

#include "engine/file_digests.h"
#include "engine/md5_key.h"
#include "platform/file_system_kind.h"
#include "platform/folder_handle.h"
#include "platform/read_only_file.h"
#include "results/size_text.h"

namespace tarnwick {
namespace {

// Small files a worker takes at once (and then the rest of the last one's folder, up
// to the most); a big file is taken alone, as a worker may spend seconds on it.
constexpr std::size_t kSmallBatch = 32;
constexpr std::size_t kMostInBatch = 256;
// Items waiting beyond this hold the walk until the workers have caught up halfway.
constexpr std::size_t kMostQueued = 1 << 16;
// How often the job's thread wakes while it waits for the workers: events, status line.
// Reading on the job's thread, it shows the file it reads as often.
constexpr auto kWaitStep = std::chrono::milliseconds(20);
// A file changed this recently may change again within its time stamp's resolution
// without a new stamp: what was read of it is not cached.
constexpr std::int64_t kSettledNs = 2'000'000'000;

std::uint64_t MixKey(std::int64_t size, std::uint64_t value) {
  const std::uint64_t mixed =
      (static_cast<std::uint64_t>(size) ^ (value * 0xBF58476D1CE4E5B9ULL)) * 0x94D049BB133111EBULL;
  return mixed ^ (mixed >> 31);
}

bool Settled(std::int64_t changedNs) {
  timespec now{};
  ::clock_gettime(CLOCK_REALTIME, &now);
  const std::int64_t nowNs = static_cast<std::int64_t>(now.tv_sec) * 1000000000 + now.tv_nsec;
  return changedNs <= nowNs - kSettledNs;
}

}  // namespace

// The folder a worker has open: files of one folder come one after another.
struct Md5KeyFinder::OpenedFolder {
  std::string_view folder;
  int fd = -1;
  int error = 0;
  // What is read of its files may be kept: not /proc, /sys and the like, and not a
  // file reached by a bare name, whose file system is not looked at.
  bool keepable = false;
  ~OpenedFolder() {
    if (fd >= 0) ::close(fd);
  }
  // The descriptor to open `name` relative to; -1 when the folder cannot be reached.
  int For(std::string_view wanted) {
    if (wanted.empty()) {
      keepable = false;
      return AT_FDCWD;
    }
    if (wanted.data() != folder.data()) {
      if (fd >= 0) ::close(fd);
      folder = wanted;
      fd = platform::OpenFolderHandle(wanted);
      error = fd < 0 ? errno : 0;
      keepable = fd >= 0 && !platform::IsKernelFileSystem(fd);
    }
    return fd;
  }
};

Md5KeyFinder::Md5KeyFinder(const FoundFiles& files, WorkerPool* pool, DigestCache* cache,
                           JobHost& host, const StopFlag& stop)
    : files_(files),
      pool_(pool),
      cache_(cache),
      host_(host),
      stop_(stop),
      workerStop_([&stop] { return stop.IsSet(); }),
      hereStop_([this] {
        host_.ProcessPendingEvents();
        ShowReading();
        return stop_.IsSet();
      }) {
  // The cache is read on a worker while the walk begins, not when its first file needs
  // it. The task uses nothing of the finder: the cache and the pool outlive it.
  if (pool_ && cache_ && !cache_->Loaded()) pool_->Submit([cache] { cache->Load(); });
}

Md5KeyFinder::~Md5KeyFinder() {
  DropQueuedWork();
  std::unique_lock lock(mutex_);
  jobWaiting_ = true;
  changed_.wait(lock, [this] { return running_ == 0; });
}

void Md5KeyFinder::Add(std::uint32_t file, const FileStamp& stamp, bool regular) {
  records_.push_back({stamp});
  if (!regular) return;
  Join(sizes_, file, Stage::Ends);
  if (!awaiting_.empty() && cache_->Loaded()) EnterAwaiting();
  if (resultsWaiting_.load(std::memory_order_relaxed)) Merge();
  // Work is handed over, and workers woken, a batch at a time.
  if (outgoing_.size() >= kSmallBatch) StartWorkers();
  if (!crowded_) return;
  // The workers lag far behind the walk: wait for them, so the queue stays small.
  for (;;) {
    Merge();
    StartWorkers();
    {
      std::unique_lock lock(mutex_);
      if (stop_.IsSet() || small_.size() + big_.size() < kMostQueued / 2) break;
      WaitForWorkers(lock);
    }
    host_.ProcessPendingEvents();
  }
  crowded_ = false;
}

void Md5KeyFinder::Join(BucketTable& table, std::uint32_t file, Stage next) {
  const std::int64_t size = records_[file].stamp.size;
  const std::uint64_t value = BucketValue(table, file);
  const auto [number, created] = table.index.FindOrInsert(
      MixKey(size, value),
      [&](std::uint32_t known) {
        const Bucket& bucket = table.buckets[known];
        return bucket.size == size && BucketValue(table, bucket.first) == value;
      },
      static_cast<std::uint32_t>(table.buckets.size()));
  if (created) {
    table.buckets.push_back({size, file, 1});
    return;
  }
  // Moving a file on never comes back to this table, but it may grow the others.
  const std::uint32_t first = table.buckets[number].first;
  const bool second = ++table.buckets[number].count == 2;
  const bool entering = &table == &sizes_;
  if (second) entering ? Enter(first) : Advance(first, next);
  entering ? Enter(file) : Advance(file, next);
}

std::uint64_t Md5KeyFinder::BucketValue(const BucketTable& table, std::uint32_t file) const {
  if (&table == &ends_) return records_[file].ends;
  if (&table == &wholes_) return further_[records_[file].further].whole;
  return 0;
}

Md5KeyFinder::FurtherDigests& Md5KeyFinder::Further(std::uint32_t file) {
  FileRecord& record = records_[file];
  if (record.further == kNone) {
    record.further = static_cast<std::uint32_t>(further_.size());
    further_.emplace_back();
  }
  return further_[record.further];
}

KnownDigests Md5KeyFinder::Known(std::uint32_t file) const {
  const FileRecord& record = records_[file];
  KnownDigests digests;
  if (record.flags & kEndsKnown) digests.ends = record.ends;
  if (record.further == kNone) return digests;
  const FurtherDigests& further = further_[record.further];
  if (further.wholeKnown) digests.whole = further.whole;
  if (further.md5Known) digests.md5 = further.md5;
  return digests;
}

void Md5KeyFinder::Learn(std::uint32_t file, const KnownDigests& digests) {
  FileRecord& record = records_[file];
  if (digests.ends) {
    record.ends = *digests.ends;
    record.flags |= kEndsKnown;
  }
  if (digests.whole) {
    Further(file).whole = *digests.whole;
    Further(file).wholeKnown = true;
  }
  if (digests.md5) {
    Further(file).md5 = *digests.md5;
    Further(file).md5Known = true;
  }
}

void Md5KeyFinder::Enter(std::uint32_t file) {
  const FileRecord& record = records_[file];
  if (cache_ && record.stamp.size > 0) {
    // Without a pool the first lookup reads the cache here.
    if (pool_ && !cache_->Loaded()) return awaiting_.push_back(file);
    Learn(file, cache_->Find(record.stamp));
  }
  Advance(file, Stage::Ends);
}

void Md5KeyFinder::EnterAwaiting() {
  for (const std::uint32_t file : awaiting_) {
    Learn(file, cache_->Find(records_[file].stamp));
    Advance(file, Stage::Ends);
  }
  awaiting_.clear();
}

void Md5KeyFinder::Advance(std::uint32_t file, Stage stage) {
  const FileRecord& record = records_[file];
  const FurtherDigests* further = record.further == kNone ? nullptr : &further_[record.further];
  const bool isKnown = (stage == Stage::Ends && (record.flags & kEndsKnown)) ||
                       (stage == Stage::Whole && further && further->wholeKnown) ||
                       (stage == Stage::Md5 && further && further->md5Known);
  if (isKnown) return Continue(file, stage);
  outgoing_.push_back({file, stage, record.stamp, files_.Folder(file), files_.Name(file)});
}

void Md5KeyFinder::Continue(std::uint32_t file, Stage stage) {
  FileRecord& record = records_[file];
  const std::int64_t size = record.stamp.size;
  switch (stage) {
    case Stage::Ends:
      if (size == 0) {
        // Every empty file has the same key: nothing to read, only the file to open.
        Further(file).md5 = EmptyFileKey();
        Further(file).md5Known = true;
        records_[file].flags |= kHasKey;
        return;
      }
      return Join(ends_, file, EndsCoverWholeFile(size) ? Stage::Md5 : Stage::Whole);
    case Stage::Whole:
      return Join(wholes_, file, Stage::Md5);
    case Stage::Md5:
      record.flags |= kHasKey;
      return;
  }
}

void Md5KeyFinder::OnResult(const WorkResult& result) {
  if (result.end != ReadEnd::Done) {
    // A vanished file or a special one is no error of the job; a refusal is.
    if (result.end == ReadEnd::Unreadable && platform::IsReadFailure(result.error))
      errors_.push_back({result.file, result.error});
    return;
  }
  Learn(result.file, result.digests);
  FileRecord& record = records_[result.file];
  record.flags |= kRead;
  if (!result.cacheable) record.flags |= kUncacheable;
  Continue(result.file, result.stage);
}

void Md5KeyFinder::Merge() {
  if (!resultsWaiting_.exchange(false, std::memory_order_acquire)) return;
  {
    std::lock_guard lock(mutex_);
    merging_.swap(results_);
  }
  for (const WorkResult& result : merging_) OnResult(result);
  merging_.clear();
}

void Md5KeyFinder::StartWorkers() {
  if (!pool_) return ReadHere();
  unsigned starting = 0;
  {
    std::lock_guard lock(mutex_);
    for (const WorkItem& item : outgoing_) {
      std::deque<WorkItem>& queue =
          item.stage == Stage::Ends || EndsCoverWholeFile(item.stamp.size) ? small_ : big_;
      queue.push_back(item);
      if (queue.size() > kMostQueued) crowded_ = true;
    }
    outgoing_.clear();
    if (stop_.IsSet()) return;
    const std::size_t queued = small_.size() + big_.size();
    const unsigned wanted = static_cast<unsigned>(std::min<std::size_t>(pool_->Size(), queued));
    if (running_ >= wanted) return;
    starting = wanted - running_;
    running_ = wanted;
  }
  for (unsigned i = 0; i < starting; ++i) pool_->Submit([this] { Drain(); });
}

void Md5KeyFinder::ReadHere() {
  OpenedFolder folder;
  std::vector<WorkItem> items;
  // What a read makes known may call for more reads: they are read in turn.
  while (!outgoing_.empty() && !stop_.IsSet()) {
    items.swap(outgoing_);
    for (const WorkItem& item : items) {
      if (stop_.IsSet()) break;
      {
        std::lock_guard lock(mutex_);
        reading_ = item.file;
      }
      OnResult(Read(item, folder, hereStop_));
    }
    items.clear();
  }
  // After a stop what is left is not read.
  outgoing_.clear();
}

void Md5KeyFinder::WaitForWorkers(std::unique_lock<std::mutex>& lock) {
  jobWaiting_ = true;
  changed_.wait_for(lock, kWaitStep, [this] {
    return resultsWaiting_.load(std::memory_order_relaxed) || running_ == 0 || stop_.IsSet();
  });
  jobWaiting_ = false;
}

void Md5KeyFinder::DropQueuedWork() {
  outgoing_.clear();
  std::lock_guard lock(mutex_);
  small_.clear();
  big_.clear();
}

void Md5KeyFinder::Finish() {
  // After a stop the cache is not waited for: the files that waited for it are left out.
  if (stop_.IsSet()) {
    awaiting_.clear();
  } else {
    EnterAwaiting();
  }
  for (;;) {
    Merge();
    StartWorkers();
    {
      std::unique_lock lock(mutex_);
      if (stop_.IsSet()) {
        small_.clear();
        big_.clear();
        jobWaiting_ = true;
        changed_.wait(lock, [this] { return running_ == 0; });
        jobWaiting_ = false;
        break;
      }
      if (running_ == 0 && !resultsWaiting_.load(std::memory_order_relaxed)) break;
      WaitForWorkers(lock);
    }
    host_.ProcessPendingEvents();
    ShowReading();
  }
  // Reads that ended before a stop still count; what they would lead to is not started.
  Merge();
  DropQueuedWork();
  // Reported in walk order, whatever order the reads ended in.
  std::sort(errors_.begin(), errors_.end(),
            [](const FileReadError& a, const FileReadError& b) { return a.file < b.file; });
  StoreInCacheAside();
}

void Md5KeyFinder::StoreInCacheAside() {
  if (!cache_) return;
  if (!pool_) return StoreInCache();
  // A worker writes while the window stays live; nothing it reads changes meanwhile.
  {
    std::lock_guard lock(mutex_);
    ++running_;
  }
  pool_->Submit([this] {
    StoreInCache();
    std::lock_guard lock(mutex_);
    --running_;
    if (jobWaiting_) changed_.notify_all();
  });
  for (;;) {
    {
      std::unique_lock lock(mutex_);
      jobWaiting_ = true;
      changed_.wait_for(lock, kWaitStep, [this] { return running_ == 0; });
      jobWaiting_ = false;
      if (running_ == 0) return;
    }
    host_.ProcessPendingEvents();
  }
}

void Md5KeyFinder::ShowReading() {
  std::uint32_t file;
  {
    std::lock_guard lock(mutex_);
    file = reading_;
  }
  if (file == kNone || file == shownReading_) return;
  // A status line for every small file would cost more than reading it.
  const auto now = std::chrono::steady_clock::now();
  if (now - shownAt_ < kWaitStep) return;
  shownAt_ = now;
  shownReading_ = file;
  std::string path;
  files_.PathOf(file, path);
  host_.SetStatusText("大小 " + SizeText(records_[file].stamp.size) + "，正在读MD5：" + path);
  host_.RefreshStatus();
}

void Md5KeyFinder::StoreInCache() {
  for (std::uint32_t file = 0; file < records_.size(); ++file) {
    const FileRecord& record = records_[file];
    if ((record.flags & kRead) && !(record.flags & kUncacheable) && record.stamp.size > 0)
      cache_->Store(record.stamp, Known(file));
  }
  cache_->Flush();
}

const platform::Md5Value* Md5KeyFinder::KeyOf(std::uint32_t file) const {
  const FileRecord& record = records_[file];
  return (record.flags & kHasKey) ? &further_[record.further].md5 : nullptr;
}

bool Md5KeyFinder::TakeWork(std::vector<WorkItem>& batch) {
  batch.clear();
  if (!small_.empty()) {
    // A batch, and then the rest of its last folder: each folder is opened once.
    while (!small_.empty() && (batch.size() < kSmallBatch ||
                               (batch.size() < kMostInBatch &&
                                small_.front().folder.data() == batch.back().folder.data()))) {
      batch.push_back(small_.front());
      small_.pop_front();
    }
  } else if (!big_.empty()) {
    batch.push_back(big_.front());
    big_.pop_front();
  }
  if (!batch.empty()) reading_ = batch.front().file;
  return !batch.empty();
}

void Md5KeyFinder::Drain() {
  OpenedFolder folder;
  std::vector<WorkItem> batch;
  std::vector<WorkResult> done;
  for (;;) {
    {
      std::lock_guard lock(mutex_);
      if (!done.empty()) {
        results_.insert(results_.end(), done.begin(), done.end());
        done.clear();
        resultsWaiting_.store(true, std::memory_order_release);
        if (jobWaiting_) changed_.notify_all();
      }
      if (stop_.IsSet() || !TakeWork(batch)) {
        --running_;
        if (jobWaiting_) changed_.notify_all();
        return;
      }
    }
    for (const WorkItem& item : batch) done.push_back(Read(item, folder, workerStop_));
  }
}

Md5KeyFinder::WorkResult Md5KeyFinder::Read(const WorkItem& item, OpenedFolder& folder,
                                            const StopRequest& stop) {
  WorkResult result{item.file, item.stage, ReadEnd::Unreadable, 0, false, {}};
  const int folderFd = folder.For(item.folder);
  if (folderFd == -1) {
    result.error = folder.error;
    return result;
  }
  platform::ReadOnlyFile file;
  if (!file.OpenRegularAt(folderFd, item.name)) {
    result.error = file.Error();
    return result;
  }
  // The key covers the size the walk grouped the file by; a file that has changed
  // size since is no longer what was grouped.
  if (file.Size() != item.stamp.size) {
    result.end = ReadEnd::Changed;
    return result;
  }
  switch (item.stage) {
    case Stage::Ends: {
      std::uint64_t value = 0;
      result.end = item.stamp.size == 0 ? ReadEnd::Done : QuickEndsHash(file, stop, value);
      result.digests.ends = value;
      break;
    }
    case Stage::Whole: {
      std::uint64_t value = 0;
      result.end = QuickWholeHash(file, stop, value);
      result.digests.whole = value;
      break;
    }
    case Stage::Md5: {
      platform::Md5Value key{};
      result.end = Md5KeyOf(file, stop, key);
      result.digests.md5 = key;
      break;
    }
  }
  if (result.end == ReadEnd::Unreadable) result.error = file.Error();
  if (result.end != ReadEnd::Done) result.digests = {};
  result.cacheable = cache_ && folder.keepable && result.end == ReadEnd::Done &&
                     file.Device() == item.stamp.device && file.Inode() == item.stamp.inode &&
                     file.ModifiedNs() == item.stamp.modifiedNs &&
                     file.ChangedNs() == item.stamp.changedNs && file.UnchangedSinceOpen() &&
                     Settled(file.ChangedNs());
  return result;
}

}  // namespace tarnwick
