#pragma once
// Reading bytes "as text" in the program's double-byte code page.

#include <cstddef>
#include <string_view>

namespace tarnwick {

// The length of the text that reading `bytes` as text yields. Scanning from the start, a
// byte at or above 0x80 forms one character with the byte after it, whatever that byte
// is, unless it is 0x00. The text ends before the first 0x00 or 0x1A byte that is not
// such a second byte, and before a byte at or above 0x80 that is followed by 0x00 or by
// nothing (a first byte cut off at the end is not kept).
std::size_t ReadAsTextLength(std::string_view bytes);

}  // namespace tarnwick
