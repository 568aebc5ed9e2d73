#include "cli/range_text.h"

namespace tarnwick::cli {

std::optional<RangeText> SplitRange(std::string_view text) {
  const std::size_t colon = text.find(':');
  if (colon == std::string_view::npos) return std::nullopt;
  if (text.find(':', colon + 1) != std::string_view::npos) return std::nullopt;
  return RangeText{std::string(text.substr(0, colon)), std::string(text.substr(colon + 1))};
}

}  // namespace tarnwick::cli
