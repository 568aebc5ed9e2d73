#pragma once
// The 文件大小 column text of a row, and the rounding it shares with elapsed times.

#include <cstdint>
#include <string>

namespace tarnwick {

// Bytes as the list shows them: below 1024 the byte count and " B" ("1023 B");
// otherwise divided by 1024 while still at least 1024, at most five times, with the
// unit " KB" .. " PB" (so PB values may exceed 1024): "1.5 KB", "1 MB".
std::string SizeText(std::int64_t size);

// value rounded to two decimals, halves away from zero, written with at most 13
// significant digits and no trailing zeros or point: 1.005 → "1.01", 60.0 → "60".
std::string HundredthsText(double value);

}  // namespace tarnwick
