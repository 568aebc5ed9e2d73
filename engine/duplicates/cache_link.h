#pragma once
// The key finder's use of the digest cache. Lookups are gathered while the walk goes on
// and made a batch at a time on a worker, each batch in one pass over the cache's
// table; the answers come back in the order they were asked. At the end of the job what
// it read is stored, on a worker while the window stays live.

#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

#include "cache/digest_cache.h"
#include "engine/duplicates/file_key_table.h"
#include "engine/duplicates/found_files.h"
#include "engine/schedule/batch_scheduler.h"
#include "engine/schedule/ordered_batches.h"

namespace tarnwick {

class CacheLink {
 public:
  // `cache` (null, or not in use: none) must outlive the link.
  CacheLink(DigestCache* cache, BatchScheduler& scheduler);
  CacheLink(const CacheLink&) = delete;
  CacheLink& operator=(const CacheLink&) = delete;

  bool InUse() const { return cache_ != nullptr; }

  // Asks what the cache knows of `file`, with `stamp`, in `folder` (valid until the
  // answer is taken). True once enough has been asked for a batch: then it is time to
  // send it.
  bool Ask(std::uint32_t file, const FileStamp& stamp, std::string_view folder);
  // Whether another batch of lookups may go out now; the caller takes answers back
  // until it may.
  bool CanSend() const { return !lookups_.Full(); }
  // Hands out what has been asked, however few.
  void SendAsked();
  // Whether lookups are out; whether the first of them has its answers.
  bool Waiting() const { return !lookups_.Empty(); }
  bool AnswerReady() const { return lookups_.HeadDone(); }
  // Calls `learn(file, digests)` for each answer come back, in the order asked.
  void TakeAnswers(const std::function<void(std::uint32_t, const KnownDigests&)>& learn);
  // Drops the lookups out, waiting for one in hand to end.
  void Drop() { lookups_.DropAndWaitOut(); }

  // Stores what this job read of the files of `table`: each file read by it, whose
  // reads all matched the stamp the walk saw, and which still has that stamp now.
  // `sizeOf(file)` gives the size the walk saw. Returns once written, with the window
  // kept live meanwhile.
  void Store(const FileKeyTable& table, const FoundFiles& files,
             const std::function<std::int64_t(std::uint32_t)>& sizeOf);

 private:
  using Lookups = std::vector<DigestCache::Lookup>;
  struct StoreWork {
    const FileKeyTable* table;
    const FoundFiles* files;
    const std::function<std::int64_t(std::uint32_t)>* sizeOf;
  };
  void StoreNow(const StoreWork& work);

  DigestCache* const cache_;
  Lookups asked_;
  std::vector<Lookups> spare_;  // emptied, kept for their memory
  OrderedBatches<Lookups> lookups_;
  OrderedBatches<StoreWork> stores_;
};

}  // namespace tarnwick
