#include "engine/filters/content_pattern_check.h"

#include "match/pattern_check.h"

namespace tarnwick {

std::optional<std::string> ContentPatternProblem(const OptionControls& options) {
  if (!options.IsChecked(Check::ContentFilter)) return std::nullopt;
  return PatternProblem(static_cast<MatchMode>(options.MatchModeIndex()),
                        options.Text(Field::ContentPattern));
}

}  // namespace tarnwick
