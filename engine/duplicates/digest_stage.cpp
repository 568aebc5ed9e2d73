#include "engine/duplicates/digest_stage.h"

#include "engine/duplicates/content_digest.h"
#include "engine/duplicates/file_digests.h"

namespace tarnwick {
namespace {

ReadEnd ReadDigest(platform::ReadOnlyFile& file, const StopRequest& stop, KnownDigests& digests) {
  platform::Sha256Value digest{};
  const ReadEnd end = ContentDigestOf(file, stop, digest);
  digests.sha256 = digest;
  return end;
}

bool DigestKnown(const KnownDigests& digests) { return digests.sha256.has_value(); }

Stage AfterDigest(std::int64_t /*size*/) { return Stage::Digest; }

bool BigFileWhole(std::int64_t size) { return !EndsCoverWholeFile(size); }

}  // namespace

const StageRule kDigestStage = {ReadDigest, DigestKnown, AfterDigest, BigFileWhole};

}  // namespace tarnwick
