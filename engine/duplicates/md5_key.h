#pragma once
// The data key of the duplicate filter.

#include <cstdint>

#include "engine/duplicates/digest_read.h"
#include "platform/md5_digest.h"
#include "platform/read_only_file.h"

namespace tarnwick {

// 100 MiB: the piece of a file whose digest enters the key.
inline constexpr std::int64_t kMd5PieceSize = 104857600;

// The key of the open file, covering exactly the Size() it had when it was opened. The
// file is cut into n = max(1, size / pieceSize) pieces: n - 1 pieces of pieceSize bytes
// and a last piece running to the end. The key is the MD5 of the concatenated 32-digit
// MD5s of the pieces; equal data gives equal keys. `key` is set only when the result is
// Done; a failure of the MD5 service counts as Unreadable. Memory does not grow with the
// piece size.
ReadEnd Md5KeyOf(platform::ReadOnlyFile& file, const StopRequest& stop, platform::Md5Value& key,
                 std::int64_t pieceSize = kMd5PieceSize);

// The key of every empty file: the MD5 of the 32-digit MD5 of nothing.
const platform::Md5Value& EmptyFileKey();

}  // namespace tarnwick
