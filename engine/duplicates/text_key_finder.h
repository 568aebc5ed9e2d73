#pragma once
// The keys of the duplicate filter's 文本 (same text): every file's normalised text is
// read (text_read_lane.h) and digested (text_key.h). The job's thread takes the keys back
// in walk order and numbers each distinct key when its first file comes, so a key's
// number is its group's, and groups come in the order of their first file.

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "cache/known_digests.h"
#include "engine/duplicates/chunked_vector.h"
#include "engine/duplicates/found_files.h"
#include "engine/duplicates/hash_index.h"
#include "engine/duplicates/text_key.h"
#include "engine/duplicates/text_read_error.h"
#include "engine/job/job_host.h"
#include "engine/job/stop_flag.h"
#include "engine/schedule/worker_pool.h"

namespace tarnwick {

class TextKeyFinder {
 public:
  static constexpr std::uint32_t kNoKey = 0xFFFFFFFF;

  // `files`, `pool` (null: read on the calling thread), `host` and `stop` must outlive
  // the finder. Tags and white space are taken out of each text as asked. Every call
  // comes from the job's thread.
  TextKeyFinder(const FoundFiles& files, WorkerPool* pool, JobHost& host, const StopFlag& stop,
                bool stripTags, bool stripSpace);
  ~TextKeyFinder();
  TextKeyFinder(const TextKeyFinder&) = delete;
  TextKeyFinder& operator=(const TextKeyFinder&) = delete;

  // Takes the newest file of `files`, as a stat of the walk saw it. A file that is not a
  // regular one has no key and is never opened.
  void Add(std::uint32_t file, const FileStamp& stamp, bool regular);
  // Reads the rest; returns once every key is known, or once the stop flag is set (the
  // reads in hand are then left out).
  void Finish();

  // The number of `file`'s key, counting distinct keys from 0 in the order their first
  // file came; kNoKey when it has none (no text, binary, unreadable, changed while read,
  // or not reached before a stop).
  std::uint32_t KeyNumberOf(std::uint32_t file) const { return keyOf_[file]; }
  std::size_t KeyCount() const { return keys_.size(); }
  // The print (StampPrint) of the stamp the walk saw, which its text was read under.
  std::uint64_t PrintOf(std::uint32_t file) const { return prints_[file]; }
  // The files that could not be opened or read for a reason the system gave, in walk
  // order.
  const std::vector<TextReadError>& Errors() const { return errors_; }
  // The files that were no longer what the walk saw when read, or changed while read,
  // in walk order: they have no key.
  const std::vector<std::uint32_t>& Changed() const { return changed_; }

 private:
  struct Result;
  class Reader;
  struct Lane;

  void TakeResult(Result& result);

  std::vector<TextKey> keys_;  // each distinct key once, by number
  HashIndex keyIndex_;
  ChunkedVector<std::uint32_t> keyOf_;
  ChunkedVector<std::uint64_t> prints_;
  std::vector<TextReadError> errors_;
  std::vector<std::uint32_t> changed_;
  std::unique_ptr<Lane> lane_;
};

}  // namespace tarnwick
