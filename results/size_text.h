#pragma once
// The 文件大小 column text of a row.

#include <cstdint>
#include <string>

namespace tarnwick {

// Bytes as the list shows them: "0 B", "1023 B", "1.5 KB", "12.35 MB", up to "TB",
// rounded to at most two decimals with trailing zeros dropped.
std::string SizeText(std::int64_t size);

}  // namespace tarnwick
