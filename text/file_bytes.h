#pragma once
// Reading a whole file into memory for decoding.

#include <cstdint>
#include <string>

#include "text/byte_buffer.h"

namespace tarnwick {

// Reads every byte of the regular file at `path` into `bytes` (its size becomes the
// file's). False when it cannot be opened (missing, no permission, not a regular file), a
// read fails, or it holds more than `sizeLimit` bytes; `bytes` is unspecified then. Reads
// into room sized from the file's reported size, then reads on until the end, so a file
// that grew or whose size is not reported (as in /proc) is read whole.
bool ReadFileBytes(const std::string& path, std::int64_t sizeLimit, ByteBuffer& bytes);

}  // namespace tarnwick
