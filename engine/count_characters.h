#pragma once
// The character count of the length filter.

#include <cstdint>
#include <string_view>

namespace tarnwick {

// Counts the characters of GB18030 text: every single-byte and every double-byte
// character counts 1, a four-byte character counts 2, and every line break counts 1
// whether it is CR LF, CR alone or LF alone. A lead byte left pending at the end is
// not counted. 64 bits: texts over 2 GB are counted right.
std::int64_t CountCharacters(std::string_view text);

}  // namespace tarnwick
