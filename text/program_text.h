#pragma once
// Conversions between the program's text (GB18030 bytes) and UTF-8, the form of file
// names, window texts, the settings file and regular-expression matching. Both are
// lenient: bad input is replaced, never fatal. Pure ASCII passes through unchanged.

#include <string>
#include <string_view>

namespace tarnwick {

std::string Gb18030ToUtf8(std::string_view text);
std::string Utf8ToGb18030(std::string_view text);

// True when every byte is below 0x80 (such text is the same in both forms).
bool IsAscii(std::string_view bytes);

}  // namespace tarnwick
