#include "engine/duplicates/content_digest.h"

#include <optional>

namespace tarnwick {

ReadEnd ContentDigestOf(platform::ReadOnlyFile& file, const StopRequest& stop,
                        platform::Sha256Value& digest) {
  platform::Sha256Digest sha;
  if (!sha.Begin()) return ReadEnd::Unreadable;
  if (file.Size() > static_cast<std::int64_t>(2 * kDigestReadSize)) file.AdviseSequential();
  bool fed = true;
  const ReadEnd end =
      ReadSpan(file, 0, file.Size(), stop, [&](const unsigned char* data, std::size_t size) {
        if (fed) fed = sha.Update(data, size);
      });
  if (end != ReadEnd::Done) return end;
  const std::optional<platform::Sha256Value> value = sha.Finish();
  if (!fed || !value) return ReadEnd::Unreadable;
  digest = *value;
  return ReadEnd::Done;
}

const platform::Sha256Value& EmptyContentDigest() {
  static const platform::Sha256Value digest = [] {
    platform::Sha256Digest sha;
    sha.Begin();
    return sha.Finish().value_or(platform::Sha256Value{});
  }();
  return digest;
}

}  // namespace tarnwick
