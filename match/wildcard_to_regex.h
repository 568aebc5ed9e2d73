#pragma once
// The translation of a wildcard pattern into a regular expression, for the wildcard
// match mode and for file masks.

#include <string>
#include <string_view>

#include "match/regex_object.h"

namespace tarnwick {

// "*" → ".*", "?" → ".?", and each of \ ^ $ + . { } [ ] = ( ) " gets a backslash;
// "|" stays and separates alternatives; the result is not anchored. text is in form
// (UTF-8 for file masks, the program's GB18030 text for the content filter) and the
// result is in the same form; in GB18030 the trail byte of a double-byte character is
// never taken for one of these characters.
std::string WildcardToRegex(std::string_view text, TextForm form = TextForm::Utf8);

}  // namespace tarnwick
