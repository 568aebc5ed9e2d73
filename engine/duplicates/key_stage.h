#pragma once
// The stages a file goes through before it has its content key. Files of a size no
// other file has never enter them. Files that share a size compare the quick hash of
// their ends (ends_stage.h); big files that still agree, the quick hash of their whole
// content (whole_stage.h). The quick hashes only rule files out. What is left is
// proven: by the SHA-256 of each file (digest_stage.h) when the digest cache keeps it
// for later jobs, else by comparing the candidates byte for byte (bucket_comparer.h),
// which reads each once and needs no digest. Each stage reads a file at most once, and
// what an earlier job learned (the digest cache) replaces a read.

#include <cstdint>

#include "cache/known_digests.h"
#include "engine/duplicates/digest_read.h"
#include "platform/read_only_file.h"

namespace tarnwick {

enum class Stage : std::uint8_t { Ends, Whole, Digest };

struct StageRule {
  // Reads what the stage learns of the open file, whose size is the one the walk saw,
  // into `digests`.
  ReadEnd (*read)(platform::ReadOnlyFile& file, const StopRequest& stop, KnownDigests& digests);
  // Whether `digests` already hold what the stage reads.
  bool (*known)(const KnownDigests& digests);
  // The stage files of `size` bytes go on to once this one found them alike; the
  // digest stage is its own next.
  Stage (*next)(std::int64_t size);
  // Whether the read of a file of `size` bytes runs through all of a big file: such
  // reads take seconds and are handed out one at a time.
  bool (*readsWholeBigFile)(std::int64_t size);
};

const StageRule& RuleOf(Stage stage);

}  // namespace tarnwick
