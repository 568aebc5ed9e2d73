#pragma once
// Reading a whole file into memory for decoding.

#include <cstdint>
#include <optional>
#include <string>

namespace tarnwick {

// Every byte of the regular file at `path`, or nullopt when it cannot be opened (missing,
// no permission, not a regular file), a read fails, or it holds more than `sizeLimit`
// bytes. Reads into a buffer sized from the file's reported size, then reads on until
// the end, so a file that grew or whose size is not reported (as in /proc) is read whole.
std::optional<std::string> ReadFileBytes(const std::string& path, std::int64_t sizeLimit);

}  // namespace tarnwick
