#pragma once
// Conversions between the program's text (GB18030 bytes) and UTF-8, the form of file
// names, window texts, the settings file and regular-expression matching. Both are
// lenient: bad input is replaced, never fatal. Pure ASCII passes through unchanged.

#include <string>
#include <string_view>

namespace tarnwick {

std::string Gb18030ToUtf8(std::string_view text);
std::string Utf8ToGb18030(std::string_view text);

// The program's text of bytes that need not be UTF-8 (a file name, a pattern given on
// the command line): UTF-8 converted; anything else taken as the program's text as it
// stands, as content without an encoding mark is read, so that a GBK name is its own
// text and a name and a file holding the same bytes read alike. Never a "?" in place of
// a bad byte: in a pattern that would be a wildcard.
std::string BytesAsProgramText(std::string_view bytes);

// True when every byte is below 0x80 (such text is the same in both forms).
bool IsAscii(std::string_view bytes);

}  // namespace tarnwick
