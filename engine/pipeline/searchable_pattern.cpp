#include "engine/pipeline/searchable_pattern.h"

#include "engine/filters/content_pattern_check.h"

namespace tarnwick {

SearchablePattern::Search SearchablePattern::SearchOf(const OptionControls& options) {
  return {options.IsChecked(Check::ContentFilter), options.MatchModeIndex(),
          options.Text(Field::ContentPattern)};
}

SearchablePattern::SearchablePattern(JobHost& host, const OptionControls& atStart) : host_(host) {
  if (!ContentPatternProblem(atStart)) searchable_ = SearchOf(atStart);
}

void SearchablePattern::Keep(FilterOptions& options) {
  const Search now = SearchOf(options);
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
