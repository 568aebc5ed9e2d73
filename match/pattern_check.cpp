#include "match/pattern_check.h"

#include "match/regex_object.h"
#include "match/wildcard_to_regex.h"
#include "text/program_text.h"

namespace tarnwick {

std::optional<std::string> PatternProblem(MatchMode mode, std::string_view pattern) {
  if (mode != MatchMode::Wildcard && mode != MatchMode::Regex) return std::nullopt;
  const std::string patternGb = BytesAsProgramText(pattern);
  if (patternGb.empty()) return std::nullopt;  // the empty pattern is found everywhere
  RegexObject regex(TextForm::Gb18030);
  regex.CreateEngine();
  regex.SetPattern(
      mode == MatchMode::Wildcard ? WildcardToRegex(patternGb, TextForm::Gb18030) : patternGb, true,
      true, false);
  return regex.CompileError();
}

}  // namespace tarnwick
