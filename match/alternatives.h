#pragma once
// "|"-separated alternatives: the split shared with the folder walk's name patterns, and
// the literal search of the Default match mode.

#include <string_view>
#include <vector>

#include "match/regex_object.h"

namespace tarnwick {

// Splits at "|" as the walk and FindAnyAlternative do: the empty text gives no pieces,
// a trailing "|" gives no empty last piece, other empty pieces remain, nothing is
// trimmed. In GB18030 form a "|" trail byte of a double-byte character is not a
// separator; in UTF-8 (the form of 编辑框过滤) every "|" byte is one. The views point
// into pattern.
std::vector<std::string_view> SplitAlternatives(std::string_view pattern,
                                                TextForm form = TextForm::Utf8);

// Default mode: the "|"-separated pieces of pattern searched literally in text, ASCII
// letter case ignored, stepping through characters (never matching across a double-byte
// character). Both in `form`: GB18030, or valid UTF-8. An empty pattern is found in every
// text; an empty piece («a||b») in every text but the empty one.
bool FindAnyAlternative(std::string_view text, std::string_view pattern,
                        TextForm form = TextForm::Gb18030);

}  // namespace tarnwick
