#include "engine/duplicates/cache_link.h"

#include <sys/stat.h>

#include "engine/duplicates/opened_folder.h"

namespace tarnwick {
namespace {

// Files looked up in the digest cache at once: enough that a batch costs little more
// than its lookups, few enough that the reads they allow start soon.
constexpr std::size_t kLookupBatch = 8192;
// Batches of lookups out at once: a few, so that the walk seldom waits for them and
// memory stays bounded when it would outrun them.
constexpr std::size_t kLookupBatchesOut = 4;

std::int64_t Nanoseconds(const timespec& time) {
  return static_cast<std::int64_t>(time.tv_sec) * 1000000000 + time.tv_nsec;
}

}  // namespace

CacheLink::CacheLink(DigestCache* cache, BatchScheduler& scheduler)
    : cache_(cache && cache->InUse() ? cache : nullptr),
      lookups_(scheduler, kLookupBatchesOut,
               [this](Lookups& batch, const BatchRun&) { cache_->FindEach(batch); }),
      stores_(scheduler, 1, [this](StoreWork& work, const BatchRun&) { StoreNow(work); }) {}

bool CacheLink::Ask(std::uint32_t file, const FileStamp& stamp, std::string_view folder) {
  if (asked_.empty()) {
    // The memory of the batches answered serves the next ones: fresh memory costs a page
    // fault a few lookups.
    if (!spare_.empty()) {
      asked_.swap(spare_.back());
      spare_.pop_back();
    }
    asked_.reserve(kLookupBatch);
  }
  asked_.push_back({stamp, file, folder, {}});
  return asked_.size() >= kLookupBatch;
}

void CacheLink::SendAsked() {
  if (asked_.empty()) return;
  lookups_.HandOut(std::move(asked_));
  asked_ = {};
}

void CacheLink::TakeAnswers(const std::function<void(std::uint32_t, const KnownDigests&)>& learn) {
  while (Lookups* answers = lookups_.DoneHead()) {
    for (const DigestCache::Lookup& lookup : *answers) learn(lookup.tag, lookup.digests);
    answers->clear();
    if (spare_.size() <= kLookupBatchesOut) spare_.push_back(std::move(*answers));
    lookups_.PopHead();
  }
}

void CacheLink::Store(const FileKeyTable& table, const FoundFiles& files,
                      const std::function<std::int64_t(std::uint32_t)>& sizeOf) {
  if (!cache_) return;
  // Nothing the store reads changes meanwhile: the job's thread only waits.
  stores_.HandOut({&table, &files, &sizeOf});
  stores_.WaitOutHead();
  stores_.PopHead();
}

void CacheLink::StoreNow(const StoreWork& work) {
  // A file is kept under the stamp it has now, looked at again, and only while that is
  // the stamp the walk saw and every read of it matched. Files on file systems whose
  // stamps the cache does not trust are marked uncacheable from the start.
  OpenedFolder folder;
  const FileKeyTable& table = *work.table;
  for (std::uint32_t file = 0; file < table.Count(); ++file) {
    if (!table.Has(file, FileKeyTable::kRead) || table.Has(file, FileKeyTable::kUncacheable) ||
        (*work.sizeOf)(file) == 0)
      continue;
    const int folderFd = folder.For(work.files->Folder(file));
    struct stat status {};
    if (folderFd == -1 || ::fstatat(folderFd, work.files->Name(file), &status, 0) != 0) continue;
    const FileStamp stamp{static_cast<std::uint64_t>(status.st_dev),
                          static_cast<std::uint64_t>(status.st_ino),
                          static_cast<std::int64_t>(status.st_size), Nanoseconds(status.st_mtim),
                          Nanoseconds(status.st_ctim)};
    if (StampPrint(stamp) == table.Print(file))
      cache_->Store(stamp, table.Known(file), work.files->Folder(file));
  }
  cache_->Flush();
}

}  // namespace tarnwick
