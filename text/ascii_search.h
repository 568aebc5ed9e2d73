#pragma once
// Searching byte text while ignoring the case of ASCII letters (other bytes must match
// exactly, so a GB18030 character never matches a letter).

#include <cstddef>
#include <string_view>

namespace tarnwick {

// The first position at or after `from` where `needle` occurs in `text`, letters of
// either case matching; std::string_view::npos when there is none. An empty needle is
// found at `from` (when `from` is within the text).
std::size_t FindIgnoringAsciiCase(std::string_view text, std::string_view needle,
                                  std::size_t from = 0);

}  // namespace tarnwick
