#pragma once
// What the key finder knows of each file, numbered in walk order: kept in columns of a
// few bytes each, and digests only for the files that come so far. A million files
// cost some 21 bytes each.
//
// A file's key is its content class: files of one class hold the same bytes, proven by
// an equal SHA-256 or by a comparison byte for byte. Each distinct digest is kept once.

#include <cstdint>
#include <optional>
#include <unordered_map>

#include "cache/known_digests.h"
#include "engine/duplicates/chunked_vector.h"
#include "engine/duplicates/hash_index.h"
#include "engine/duplicates/key_stage.h"
#include "platform/sha256_digest.h"

namespace tarnwick {

class FileKeyTable {
 public:
  static constexpr std::uint32_t kNone = 0xFFFFFFFF;

  enum Flag : std::uint8_t {
    kHasKey = 1,       // it went through every stage: its class counts
    kRead = 2,         // some digest of it was read by this job
    kUncacheable = 4,  // a read of it did not match the stamp the walk saw, or its file
                       // system does not keep stamps the cache can trust
    kLookedUp = 8,     // what the cache knows of it has been learned
    kEntered = 16,     // it shares its size with another file: waits for its lookup
  };

  // Adds the next file, with the print of the stamp the walk saw (StampPrint).
  void Add(std::uint64_t print);
  std::size_t Count() const { return flags_.size(); }

  bool Has(std::uint32_t file, Flag flag) const { return (flags_[file] & flag) != 0; }
  void Mark(std::uint32_t file, Flag flag) { flags_[file] |= flag; }

  // Its bucket in the table of sizes; kNone until it joins one.
  std::uint32_t SizeBucket(std::uint32_t file) const { return sizeBucket_[file]; }
  void SetSizeBucket(std::uint32_t file, std::uint32_t bucket) { sizeBucket_[file] = bucket; }
  // The print of the stamp the walk saw: a file whose bytes count still has it.
  std::uint64_t Print(std::uint32_t file) const { return prints_[file]; }

  // Whether the digest `stage` reads is known of the file.
  bool Knows(std::uint32_t file, Stage stage) const;
  std::uint64_t Ends(std::uint32_t file) const { return ends_[file]; }
  std::uint64_t Whole(std::uint32_t file) const { return wholes_.at(file); }
  // Everything known of the file, as the cache keeps it; and the reverse.
  KnownDigests Known(std::uint32_t file) const;
  void Learn(std::uint32_t file, const KnownDigests& digests);

  // A class of its own, for files proven alike by comparing their bytes.
  std::uint32_t NewClass();
  // Puts the file in `contentClass` and marks it kHasKey.
  void SetClass(std::uint32_t file, std::uint32_t contentClass);
  // The class of every empty file.
  std::uint32_t EmptyClass();
  // The file's class once it has its key (kHasKey); nullopt otherwise.
  std::optional<std::uint32_t> ClassOf(std::uint32_t file) const;
  // Classes are numbered from 0 up to this.
  std::uint32_t ClassCount() const { return static_cast<std::uint32_t>(digests_.size()); }

 private:
  // The digests known of a file, in the same byte as its flags.
  enum Known : std::uint8_t { kEndsKnown = 32, kWholeKnown = 64, kDigestKnown = 128 };
  // The class of files with this SHA-256.
  std::uint32_t ClassOfDigest(const platform::Sha256Value& digest);

  ChunkedVector<std::uint8_t> flags_;  // Flag and Known bits
  ChunkedVector<std::uint32_t> sizeBucket_;
  ChunkedVector<std::uint64_t> ends_;     // its quick hash of the ends
  ChunkedVector<std::uint32_t> classOf_;  // kNone: none
  ChunkedVector<std::uint64_t> prints_;
  // By class: the digest that made it (zeros for a class made by comparing bytes).
  ChunkedVector<platform::Sha256Value> digests_;
  HashIndex digestIndex_;
  std::uint32_t emptyClass_ = kNone;
  // The whole-content hashes of the (big) files that have one.
  std::unordered_map<std::uint32_t, std::uint64_t> wholes_;
};

}  // namespace tarnwick
