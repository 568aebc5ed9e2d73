#include "engine/duplicates/md5_key_finder.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <ctime>
#include <string>
#include <utility>

#include "engine/duplicates/file_digests.h"
#include "engine/duplicates/md5_key.h"
#include "engine/duplicates/quick_hash.h"
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
// Files looked up in the digest cache at once: enough that a batch costs little more
// than its lookups, few enough that the reads they allow start soon.
constexpr std::size_t kLookupBatch = 8192;
// How often the job's thread wakes while it waits for the workers: events, status line.
// Reading on the job's thread, it shows the file it reads as often.
constexpr auto kWaitStep = std::chrono::milliseconds(20);
// A file changed this recently may change again within its time stamp's resolution
// without a new stamp: what was read of it is not cached.
constexpr std::int64_t kSettledNs = 2'000'000'000;

std::int64_t Nanoseconds(const timespec& time) {
  return static_cast<std::int64_t>(time.tv_sec) * 1000000000 + time.tv_nsec;
}

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
      cache_(cache && cache->InUse() ? cache : nullptr),
      host_(host),
      stop_(stop),
      workerStop_([&stop] { return stop.IsSet(); }),
      hereStop_([this] {
        host_.ProcessPendingEvents();
        ShowReading();
        return stop_.IsSet();
      }) {}

Md5KeyFinder::~Md5KeyFinder() {
  DropQueuedWork();
  std::unique_lock lock(mutex_);
  jobWaiting_ = true;
  changed_.wait(lock, [this] { return running_ == 0 && lookingUp_ == 0; });
}

void Md5KeyFinder::Add(std::uint32_t file, const FileStamp& stamp, bool regular) {
  sizeBucket_.push_back(kNone);
  ends_.push_back(0);
  keyOf_.push_back(kNone);
  flags_.push_back(0);
  if (cache_) prints_.push_back(0);
  if (!regular) return;
  if (cache_ && stamp.size > 0) {
    // Looked up now, while the walk's stamp is at hand: only its print is kept.
    prints_[file] = StampPrint(stamp);
    lookups_.push_back({stamp, file, PlaceOf(file), {}});
    if (lookups_.size() >= kLookupBatch) StartLookups();
  }
  Join(bySize_, file, stamp.size, Stage::Ends);
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

void Md5KeyFinder::Join(BucketTable& table, std::uint32_t file, std::int64_t size, Stage next) {
  const std::uint64_t value = BucketValue(table, file);
  const auto [number, created] = table.index.FindOrInsert(
      MixKey(size, value),
      [&](std::uint32_t known) {
        const Bucket& bucket = table.buckets[known];
        return bucket.size == size && BucketValue(table, bucket.first) == value;
      },
      static_cast<std::uint32_t>(table.buckets.size()));
  const bool entering = &table == &bySize_;
  if (entering) sizeBucket_[file] = number;
  if (created) {
    table.buckets.push_back({size, file, 1});
    return;
  }
  // Moving a file on never comes back to this table, but it may grow the others.
  const std::uint32_t first = table.buckets[number].first;
  const bool second = ++table.buckets[number].count == 2;
  if (second) entering ? Enter(first) : Advance(first, next);
  entering ? Enter(file) : Advance(file, next);
}

std::uint64_t Md5KeyFinder::BucketValue(const BucketTable& table, std::uint32_t file) const {
  if (&table == &byEnds_) return ends_[file];
  if (&table == &byWhole_) return wholes_.at(file);
  return 0;
}

void Md5KeyFinder::SetKey(std::uint32_t file, const platform::Md5Value& key) {
  // Files that reach their MD5 key mostly share it: each distinct key is kept once.
  std::uint64_t hash;
  std::memcpy(&hash, key.data(), sizeof hash);
  const auto [number, created] = keyIndex_.FindOrInsert(
      hash, [&](std::uint32_t known) { return keys_[known] == key; },
      static_cast<std::uint32_t>(keys_.size()));
  if (created) keys_.push_back(key);
  keyOf_[file] = number;
  flags_[file] |= kMd5Known;
}

std::uint64_t Md5KeyFinder::PlaceOf(std::uint32_t file) {
  const std::string_view folder = files_.Folder(file);
  // A folder's text is kept once, so its files follow one another with the same one.
  if (folder.data() != placeFolder_) {
    QuickHash hash;
    hash.Update(reinterpret_cast<const unsigned char*>(folder.data()), folder.size());
    place_ = hash.Value();
    placeFolder_ = folder.data();
  }
  return place_;
}

KnownDigests Md5KeyFinder::Known(std::uint32_t file) const {
  const std::uint8_t flags = flags_[file];
  KnownDigests digests;
  if (flags & kEndsKnown) digests.ends = ends_[file];
  if (flags & kWholeKnown) digests.whole = wholes_.at(file);
  if (flags & kMd5Known) digests.md5 = keys_[keyOf_[file]];
  return digests;
}

void Md5KeyFinder::Learn(std::uint32_t file, const KnownDigests& digests) {
  if (digests.ends) {
    ends_[file] = *digests.ends;
    flags_[file] |= kEndsKnown;
  }
  if (digests.whole) {
    wholes_[file] = *digests.whole;
    flags_[file] |= kWholeKnown;
  }
  if (digests.md5) SetKey(file, *digests.md5);
}

void Md5KeyFinder::Enter(std::uint32_t file) {
  // A file the cache may know of waits for its lookup.
  if (cache_ && SizeOf(file) > 0 && !(flags_[file] & kLookedUp)) {
    flags_[file] |= kEntered;
    return;
  }
  Advance(file, Stage::Ends);
}

void Md5KeyFinder::StartLookups() {
  if (lookups_.empty()) return;
  if (!pool_) {
    cache_->FindEach(lookups_);
    for (const DigestCache::Lookup& lookup : lookups_) OnLookedUp(lookup);
    lookups_.clear();
    return;
  }
  {
    std::lock_guard lock(mutex_);
    ++lookingUp_;
  }
  pool_->Submit([this, batch = std::move(lookups_)]() mutable {
    cache_->FindEach(batch);
    std::lock_guard lock(mutex_);
    lookedUp_.insert(lookedUp_.end(), batch.begin(), batch.end());
    --lookingUp_;
    resultsWaiting_.store(true, std::memory_order_release);
    if (jobWaiting_) changed_.notify_all();
  });
  lookups_.clear();
}

void Md5KeyFinder::OnLookedUp(const DigestCache::Lookup& lookup) {
  const std::uint32_t file = lookup.tag;
  Learn(file, lookup.digests);
  flags_[file] |= kLookedUp;
  if (flags_[file] & kEntered) Advance(file, Stage::Ends);
}

void Md5KeyFinder::Advance(std::uint32_t file, Stage stage) {
  const std::uint8_t flags = flags_[file];
  const bool isKnown = (stage == Stage::Ends && (flags & kEndsKnown)) ||
                       (stage == Stage::Whole && (flags & kWholeKnown)) ||
                       (stage == Stage::Md5 && (flags & kMd5Known));
  if (isKnown) return Continue(file, stage);
  outgoing_.push_back({file, stage, SizeOf(file), cache_ ? prints_[file] : 0, files_.Folder(file),
                       files_.Name(file)});
}

void Md5KeyFinder::Continue(std::uint32_t file, Stage stage) {
  const std::int64_t size = SizeOf(file);
  switch (stage) {
    case Stage::Ends:
      if (size == 0) {
        // Every empty file has the same key: nothing to read, only the file to open.
        SetKey(file, EmptyFileKey());
        flags_[file] |= kHasKey;
        return;
      }
      return Join(byEnds_, file, size, EndsCoverWholeFile(size) ? Stage::Md5 : Stage::Whole);
    case Stage::Whole:
      return Join(byWhole_, file, size, Stage::Md5);
    case Stage::Md5:
      flags_[file] |= kHasKey;
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
  flags_[result.file] |= kRead;
  if (!result.cacheable) flags_[result.file] |= kUncacheable;
  Continue(result.file, result.stage);
}

void Md5KeyFinder::Merge() {
  if (!resultsWaiting_.exchange(false, std::memory_order_acquire)) return;
  {
    std::lock_guard lock(mutex_);
    merging_.swap(results_);
    mergingLookups_.swap(lookedUp_);
  }
  for (const DigestCache::Lookup& lookup : mergingLookups_) OnLookedUp(lookup);
  mergingLookups_.clear();
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
          item.stage == Stage::Ends || EndsCoverWholeFile(item.size) ? small_ : big_;
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
    return resultsWaiting_.load(std::memory_order_relaxed) || (running_ == 0 && lookingUp_ == 0) ||
           stop_.IsSet();
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
  // After a stop the cache is not waited for: the files that wait for it are left out.
  if (!stop_.IsSet()) StartLookups();
  for (;;) {
    Merge();
    StartWorkers();
    {
      std::unique_lock lock(mutex_);
      if (stop_.IsSet()) {
        small_.clear();
        big_.clear();
        jobWaiting_ = true;
        changed_.wait(lock, [this] { return running_ == 0 && lookingUp_ == 0; });
        jobWaiting_ = false;
        break;
      }
      if (running_ == 0 && lookingUp_ == 0 && !resultsWaiting_.load(std::memory_order_relaxed))
        break;
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
  host_.SetStatusText("大小 " + SizeText(SizeOf(file)) + "，正在读MD5：" + path);
  host_.RefreshStatus();
}

void Md5KeyFinder::StoreInCache() {
  // A file is kept under the stamp it has now, looked at again, and only while that is
  // the stamp the walk saw and every read of it matched.
  OpenedFolder folder;
  for (std::uint32_t file = 0; file < flags_.size(); ++file) {
    if ((flags_[file] & (kRead | kUncacheable)) != kRead || SizeOf(file) == 0) continue;
    const int folderFd = folder.For(files_.Folder(file));
    struct stat status {};
    if (folderFd == -1 || !folder.keepable ||
        ::fstatat(folderFd, files_.Name(file), &status, 0) != 0)
      continue;
    const FileStamp stamp{static_cast<std::uint64_t>(status.st_dev),
                          static_cast<std::uint64_t>(status.st_ino),
                          static_cast<std::int64_t>(status.st_size), Nanoseconds(status.st_mtim),
                          Nanoseconds(status.st_ctim)};
    if (StampPrint(stamp) == prints_[file]) cache_->Store(stamp, Known(file), PlaceOf(file));
  }
  cache_->Flush();
}

const platform::Md5Value* Md5KeyFinder::KeyOf(std::uint32_t file) const {
  return (flags_[file] & kHasKey) ? &keys_[keyOf_[file]] : nullptr;
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
  if (file.Size() != item.size) {
    result.end = ReadEnd::Changed;
    return result;
  }
  switch (item.stage) {
    case Stage::Ends: {
      std::uint64_t value = 0;
      result.end = item.size == 0 ? ReadEnd::Done : QuickEndsHash(file, stop, value);
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
  const FileStamp opened{static_cast<std::uint64_t>(file.Device()),
                         static_cast<std::uint64_t>(file.Inode()), file.Size(), file.ModifiedNs(),
                         file.ChangedNs()};
  result.cacheable = cache_ && folder.keepable && result.end == ReadEnd::Done &&
                     StampPrint(opened) == item.print && file.UnchangedSinceOpen() &&
                     Settled(file.ChangedNs());
  return result;
}

}  // namespace tarnwick
