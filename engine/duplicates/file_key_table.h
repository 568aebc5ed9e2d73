#pragma once
// What the key finder knows of each file, numbered in walk order: kept in columns of a
// few bytes each, and digests only for the files that come so far. A million files cost
// some 17 bytes each, and an MD5 key 16 bytes however many files share it.

#include <cstdint>
#include <unordered_map>

#include "cache/digest_cache.h"
#include "engine/duplicates/chunked_vector.h"
#include "engine/duplicates/hash_index.h"
#include "engine/duplicates/key_stage.h"
#include "platform/md5_digest.h"

namespace tarnwick {

class FileKeyTable {
 public:
  static constexpr std::uint32_t kNone = 0xFFFFFFFF;

  enum Flag : std::uint8_t {
    kHasKey = 1,       // it went through every stage: its MD5 key counts
    kRead = 2,         // some digest of it was read by this job
    kUncacheable = 4,  // a read of it did not match the stamp the walk saw
    kLookedUp = 8,     // what the cache knows of it has been learned
    kEntered = 16,     // it shares its size with another file: waits for its lookup
  };

  // Adds the next file; `withPrint` when a cache is in use (its stamp's print is kept).
  void Add(bool withPrint);
  std::size_t Count() const { return flags_.size(); }

  bool Has(std::uint32_t file, Flag flag) const { return (flags_[file] & flag) != 0; }
  void Mark(std::uint32_t file, Flag flag) { flags_[file] |= flag; }

  // Its bucket in the table of sizes; kNone until it joins one.
  std::uint32_t SizeBucket(std::uint32_t file) const { return sizeBucket_[file]; }
  void SetSizeBucket(std::uint32_t file, std::uint32_t bucket) { sizeBucket_[file] = bucket; }
  // With a cache: the print of the stamp the walk saw.
  std::uint64_t Print(std::uint32_t file) const { return prints_[file]; }
  void SetPrint(std::uint32_t file, std::uint64_t print) { prints_[file] = print; }

  // Whether the digest `stage` reads is known of the file.
  bool Knows(std::uint32_t file, Stage stage) const;
  std::uint64_t Ends(std::uint32_t file) const { return ends_[file]; }
  std::uint64_t Whole(std::uint32_t file) const { return wholes_.at(file); }
  // Everything known of the file, as the cache keeps it; and the reverse.
  KnownDigests Known(std::uint32_t file) const;
  void Learn(std::uint32_t file, const KnownDigests& digests);
  void SetKey(std::uint32_t file, const platform::Md5Value& key);
  // The file's key once it has gone through every stage (kHasKey); null otherwise.
  const platform::Md5Value* KeyOf(std::uint32_t file) const;

 private:
  // The digests known of a file, in the same byte as its flags.
  enum Known : std::uint8_t { kEndsKnown = 32, kWholeKnown = 64, kMd5Known = 128 };

  ChunkedVector<std::uint8_t> flags_;        // Flag and Known bits
  ChunkedVector<std::uint32_t> sizeBucket_;  // kNone: in none
  ChunkedVector<std::uint64_t> ends_;        // its quick hash of the ends
  ChunkedVector<std::uint32_t> keyOf_;       // its key's number in keys_ (kNone: none)
  ChunkedVector<std::uint64_t> prints_;
  // The distinct MD5 keys, and the whole-content hashes of the (big) files that have one.
  ChunkedVector<platform::Md5Value> keys_;
  HashIndex keyIndex_;
  std::unordered_map<std::uint32_t, std::uint64_t> wholes_;
};

}  // namespace tarnwick
