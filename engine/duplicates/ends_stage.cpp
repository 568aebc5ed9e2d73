#include "engine/duplicates/ends_stage.h"

#include "engine/duplicates/file_digests.h"
#include "engine/duplicates/quick_hash.h"
#include "platform/sha256_digest.h"

namespace tarnwick {
namespace {

// A file that reports no bytes is empty only if a read at its start ends at once: a
// pseudo file (/proc, /sys, some FUSE file systems) reports 0 and yet has content, which
// makes it no duplicate of anything. One byte is read, never more.
ReadEnd ReadNothing(platform::ReadOnlyFile& file) {
  unsigned char byte;
  const std::int64_t got = file.ReadAt(&byte, 1, 0);
  if (got < 0) return ReadEnd::Unreadable;
  return got == 0 ? ReadEnd::Done : ReadEnd::Unsized;
}

// Files this small are digested in the read that hashes them: the digest, which costs
// less than opening the file once more, then proves their equality without the byte
// comparison's second read. Many tiny files of one size (a million of them, say) would
// otherwise all be read twice.
constexpr std::int64_t kDigestedWithEnds = 1024;

// The quick hash of a small file's whole content, as QuickEndsHash gives it, and its
// SHA-256, in one read.
ReadEnd HashAndDigest(platform::ReadOnlyFile& file, const StopRequest& stop,
                      KnownDigests& digests) {
  thread_local platform::Sha256Digest digest;
  bool digesting = digest.Begin();
  QuickHash hash;
  const ReadEnd end = ReadSpan(file, 0, file.Size(), stop,
                               [&](const unsigned char* data, std::size_t count) {
                                 hash.Update(data, count);
                                 digesting = digesting && digest.Update(data, count);
                               });
  digests.ends = hash.Value();
  if (end == ReadEnd::Done && digesting) digests.sha256 = digest.Finish();
  return end;
}

ReadEnd ReadEnds(platform::ReadOnlyFile& file, const StopRequest& stop, KnownDigests& digests) {
  if (file.Size() > 0 && file.Size() <= kDigestedWithEnds)
    return HashAndDigest(file, stop, digests);
  std::uint64_t value = 0;
  const ReadEnd end = file.Size() == 0 ? ReadNothing(file) : QuickEndsHash(file, stop, value);
  digests.ends = value;
  return end;
}

bool EndsKnown(const KnownDigests& digests) { return digests.ends.has_value(); }

// A file its ends cover has been read whole: only the proof of equality is left.
Stage AfterEnds(std::int64_t size) {
  return EndsCoverWholeFile(size) ? Stage::Digest : Stage::Whole;
}

bool NeverWholeBigFile(std::int64_t /*size*/) { return false; }

}  // namespace

const StageRule kEndsStage = {ReadEnds, EndsKnown, AfterEnds, NeverWholeBigFile};

}  // namespace tarnwick
