#pragma once
// A range flag such as "--size 5:10": two bound texts around one colon. The texts are
// kept as typed (either may be empty); the engine reads them by its own rules.

#include <optional>
#include <string>
#include <string_view>

namespace tarnwick::cli {

struct RangeText {
  std::string low;
  std::string high;
};

// nullopt when `text` holds no colon or more than one.
std::optional<RangeText> SplitRange(std::string_view text);

}  // namespace tarnwick::cli
