#pragma once
// File names on Linux are bytes and need not be UTF-8. Before such a name is matched,
// each byte sequence that is not UTF-8 becomes U+FFFD, so that «.» and «*» still step
// over it as one character, as the name's other characters are stepped over.

#include <string>
#include <string_view>

namespace tarnwick {

// True when text is well-formed UTF-8 (no overlong forms, no surrogates, nothing above
// U+10FFFF, no cut-off sequence).
bool IsValidUtf8(std::string_view text);

// text with every maximal ill-formed subsequence replaced by U+FFFD.
std::string RepairUtf8(std::string_view text);

}  // namespace tarnwick
