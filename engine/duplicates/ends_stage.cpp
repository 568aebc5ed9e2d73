#include "engine/duplicates/ends_stage.h"

#include "engine/duplicates/file_digests.h"

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

ReadEnd ReadEnds(platform::ReadOnlyFile& file, const StopRequest& stop, KnownDigests& digests) {
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
