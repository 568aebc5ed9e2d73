#include "match/pattern_check.h"

#include <gtest/gtest.h>

#include <string>

namespace tarnwick {
namespace {

// Only the wildcard and regex modes compile the pattern; a wildcard escapes everything
// but its own signs, so only size can defeat it.
TEST(PatternProblem, OnlyPatternsTheEngineRejectsAreProblems) {
  EXPECT_EQ(PatternProblem(MatchMode::Regex, "a("), "missing closing parenthesis at character 3");
  EXPECT_EQ(PatternProblem(MatchMode::Default, "a("), std::nullopt);
  EXPECT_EQ(PatternProblem(MatchMode::Wildcard, "a(*[b"), std::nullopt);
  EXPECT_EQ(PatternProblem(MatchMode::Regex, ""), std::nullopt);
  EXPECT_EQ(PatternProblem(MatchMode::Regex, "^第.季度$"), std::nullopt);
  // 6,001 alternatives, 47 KB: more than the engine compiles.
  std::string many;
  for (int i = 0; i <= 6000; ++i) many += (i ? "|w" : "w") + std::to_string(100000 + i);
  for (const MatchMode mode : {MatchMode::Regex, MatchMode::Wildcard}) {
    EXPECT_EQ(PatternProblem(mode, many), "regular expression is too large");
  }
  EXPECT_EQ(PatternProblem(MatchMode::Default, many), std::nullopt);
}

}  // namespace
}  // namespace tarnwick
