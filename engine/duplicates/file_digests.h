#pragma once
// The quick looks at a file that spare most files of a shared size their MD5 digest.

#include <cstdint>

#include "engine/duplicates/digest_read.h"
#include "platform/read_only_file.h"

namespace tarnwick {

// The piece at each end of a big file whose quick hash tells most same-size files
// apart after reading little of them.
inline constexpr std::int64_t kEndPieceSize = 64 * 1024;

// True when the ends hash of a file of `size` bytes already covers all of it.
inline bool EndsCoverWholeFile(std::int64_t size) { return size <= 2 * kEndPieceSize; }

// The quick hash of the open file's first and last kEndPieceSize bytes, or of all of it
// when EndsCoverWholeFile.
ReadEnd QuickEndsHash(platform::ReadOnlyFile& file, const StopRequest& stop, std::uint64_t& value);

// The quick hash of the open file's whole content.
ReadEnd QuickWholeHash(platform::ReadOnlyFile& file, const StopRequest& stop, std::uint64_t& value);

}  // namespace tarnwick
