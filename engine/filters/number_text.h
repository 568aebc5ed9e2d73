#pragma once
// Reading numbers the user typed into the option fields. Full-width digits, signs and
// points (as a Chinese input method types them) read like their ASCII forms.

#include <string>
#include <string_view>

namespace tarnwick {

// The UTF-8 text with the full-width forms U+FF01..U+FF5E turned into ASCII and the
// ideographic space U+3000 into a space; every other byte is kept as it is.
std::string FullWidthToAscii(std::string_view utf8);

// A length bound: the leading decimal number of the text (sign, digits, one point,
// exponent), leading blanks skipped; 0 when the text does not start with a number.
float ReadBound(std::string_view utf8);

// A level count: the leading integer of the text, leading blanks skipped; 0 when the
// text does not start with digits.
long long ReadLevel(std::string_view utf8);

}  // namespace tarnwick
