#include "engine/duplicates/md5_key.h"

#include <algorithm>
#include <optional>
#include <string>

namespace tarnwick {
namespace {

std::optional<platform::Md5Value> Md5Of(const std::string& text) {
  platform::Md5Digest digest;
  if (!digest.Begin() || !digest.Update(text.data(), text.size())) return std::nullopt;
  return digest.Finish();
}

}  // namespace

ReadEnd Md5KeyOf(platform::ReadOnlyFile& file, const StopRequest& stop, platform::Md5Value& key,
                 std::int64_t pieceSize) {
  const std::int64_t size = file.Size();
  const std::int64_t pieces = std::max<std::int64_t>(1, size / pieceSize);
  if (size > static_cast<std::int64_t>(kDigestReadSize)) file.AdviseSequential();
  std::string pieceDigests;
  pieceDigests.reserve(static_cast<std::size_t>(32 * std::min<std::int64_t>(pieces, 1024)));
  platform::Md5Digest digest;
  bool fed = true;
  for (std::int64_t piece = 0; piece < pieces; ++piece) {
    const std::int64_t start = piece * pieceSize;
    const std::int64_t length = piece + 1 < pieces ? pieceSize : size - start;
    if (!digest.Begin()) return ReadEnd::Unreadable;
    const ReadEnd end =
        ReadSpan(file, start, length, stop, [&](const unsigned char* data, std::size_t count) {
          fed = fed && digest.Update(data, count);
        });
    if (end != ReadEnd::Done) return end;
    const std::optional<platform::Md5Value> value = digest.Finish();
    if (!fed || !value) return ReadEnd::Unreadable;
    pieceDigests += platform::HexText(*value);
  }
  const std::optional<platform::Md5Value> value = Md5Of(pieceDigests);
  if (!value) return ReadEnd::Unreadable;
  key = *value;
  return ReadEnd::Done;
}

const platform::Md5Value& EmptyFileKey() {
  // MD5("d41d8cd98f00b204e9800998ecf8427e"): known without asking the MD5 service.
  static constexpr platform::Md5Value kKey = {0x74, 0xbe, 0x16, 0x97, 0x97, 0x10, 0xd4, 0xc4,
                                              0xe7, 0xc6, 0x64, 0x78, 0x56, 0x08, 0x84, 0x56};
  return kKey;
}

}  // namespace tarnwick
