#pragma once
// How values are written as text in the settings file.

#include <string>
#include <string_view>

namespace tarnwick {

inline constexpr std::string_view kStoredLineBreak = "┊*┊";
inline constexpr std::string_view kFlagOn = "真";
inline constexpr std::string_view kFlagOff = "假";

// text with every occurrence of from replaced by to, scanning left to right.
std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to);

// CR LF → "┊*┊", so a value stays on one line; and back.
std::string EncodeLineBreaks(std::string_view text);
std::string DecodeLineBreaks(std::string_view stored);

// Decimal text of a whole number, with an optional leading "+" or "-"; 0 for any
// other text, including an empty one and a number out of range.
long long ParseStoredNumber(std::string_view stored);

}  // namespace tarnwick
