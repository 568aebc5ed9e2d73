#include "engine/searchable_pattern.h"

#include "engine/content_pattern_check.h"

namespace tarnwick {

SearchablePattern::SearchablePattern(JobHost& host, const OptionControls& atStart) : host_(host) {
  FilterOptions options(atStart);
  Keep(options);
}

void SearchablePattern::Keep(FilterOptions& options) {
  const Search now{options.IsChecked(Check::ContentFilter), options.MatchModeIndex(),
                   options.Text(Field::ContentPattern)};
  if (searchable_ == now) return;
  const std::optional<std::string> problem = ContentPatternProblem(options);
  if (!problem || !searchable_) {
    if (!problem) searchable_ = now;
    return;
  }
  options.SetChecked(Check::ContentFilter, searchable_->on);
  options.SetMatchModeIndex(searchable_->mode);
  options.SetText(Field::ContentPattern, searchable_->pattern);
  if (rejected_ == now) return;
  rejected_ = now;
  host_.ReportRejectedPattern(*problem);
}

}  // namespace tarnwick
