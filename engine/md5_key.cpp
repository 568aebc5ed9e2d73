#include "engine/md5_key.h"

#include <algorithm>
#include <limits>
#include <optional>
#include <vector>

#include "platform/md5_digest.h"
#include "platform/read_only_file.h"

namespace tarnwick {
namespace {

constexpr std::size_t kReadBufferSize = 256 * 1024;

// Feeds up to `limit` bytes of the file into the digest. Returns the count fed, or -1
// on a read error.
std::int64_t DigestBytes(platform::ReadOnlyFile& file, std::int64_t limit,
                         platform::Md5Digest& digest) {
  thread_local std::vector<unsigned char> buffer(kReadBufferSize);
  std::int64_t fed = 0;
  while (fed < limit) {
    const std::size_t wanted = static_cast<std::size_t>(
        std::min<std::int64_t>(limit - fed, static_cast<std::int64_t>(buffer.size())));
    const std::int64_t count = file.Read(buffer.data(), wanted);
    if (count < 0) return -1;
    if (count == 0) break;
    if (!digest.Update(buffer.data(), static_cast<std::size_t>(count))) return -1;
    fed += count;
  }
  return fed;
}

}  // namespace

std::string Md5Key(const std::string& path, std::int64_t size, JobHost& host, const StopFlag& stop,
                   std::int64_t pieceSize) {
  platform::ReadOnlyFile file;
  if (!file.Open(path)) return {};
  if (size == 0) size = file.Size();
  const std::int64_t pieces = std::max<std::int64_t>(1, size / pieceSize);
  std::string pieceDigests;
  pieceDigests.reserve(static_cast<std::size_t>(32 * std::min<std::int64_t>(pieces, 1024)));
  platform::Md5Digest digest;
  std::int64_t position = 0;
  for (std::int64_t piece = 1; piece <= pieces; ++piece) {
    const bool last = piece == pieces;
    // The last piece ends where the file ended when it was opened: no read is spent on
    // finding the end, and a file that keeps growing cannot hold the digest for ever.
    // A file that reports no size (or has shrunk) is read to its end.
    std::int64_t limit = pieceSize;
    if (last) {
      limit = file.Size() > position ? file.Size() - position
                                     : std::numeric_limits<std::int64_t>::max();
    }
    if (!digest.Begin()) return {};
    const std::int64_t fed = DigestBytes(file, limit, digest);
    if (fed < 0) return {};
    position += fed;
    const std::optional<platform::Md5Value> value = digest.Finish();
    if (!value) return {};
    pieceDigests += platform::HexText(*value);
    host.ProcessPendingEvents();
    // A key of some pieces only would not match the file's data: no key at all.
    if (!last && stop.IsSet()) return {};
  }
  return platform::Md5Hex(pieceDigests);
}

}  // namespace tarnwick
