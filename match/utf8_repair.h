#pragma once
// File names on Linux are bytes and need not be UTF-8. A name is matched as the window
// shows it: a GBK name from an old archive decoded, so that «*发票*» finds it, and in any
// other name each byte sequence that is not UTF-8 as U+FFFD, so that «.» and «*» still
// step over it as one character, as the name's other characters are stepped over.

#include <string>
#include <string_view>

namespace tarnwick {

// True when text is well-formed UTF-8 (no overlong forms, no surrogates, nothing above
// U+10FFFF, no cut-off sequence).
bool IsValidUtf8(std::string_view text);

// text with every maximal ill-formed subsequence replaced by U+FFFD.
std::string RepairUtf8(std::string_view text);

// `text` (a name, or a mask given as bytes) in UTF-8 as the window shows it: itself when
// it is UTF-8, else PathDisplayUtf8(text). The result is `text` itself or lives in
// `storage`.
std::string_view NameForMatching(std::string_view text, std::string& storage);

}  // namespace tarnwick
