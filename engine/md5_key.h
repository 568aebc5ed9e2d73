#pragma once
// The data key of the duplicate filter.

#include <cstdint>
#include <string>

#include "engine/job_host.h"
#include "engine/stop_flag.h"

namespace tarnwick {

// 100 MiB: the piece of a file whose digest enters the key.
inline constexpr std::int64_t kMd5PieceSize = 104857600;

// The file is cut into n = max(1, size / pieceSize) pieces: n - 1 pieces of pieceSize
// bytes and a last piece running to the end the file had when it was opened. The key is the MD5 of
// the concatenated 32-digit MD5s of the pieces, as 32 lowercase hexadecimal digits. Equal data
// gives equal keys. `size` 0 means "not measured": the open file's size is used. Pending events are
// processed after each piece. Returns "" when the file cannot be opened or read (not a regular
// file, no permission, vanished) or when `stop` is set before the last piece has been read. Reads
// through one reused buffer: memory does not grow with the piece size.
std::string Md5Key(const std::string& path, std::int64_t size, JobHost& host, const StopFlag& stop,
                   std::int64_t pieceSize = kMd5PieceSize);

}  // namespace tarnwick
