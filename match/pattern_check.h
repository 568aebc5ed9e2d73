#pragma once
// The check a job makes before it starts: a pattern that cannot be compiled is refused
// with the reason, never run as a search that finds nothing.

#include <optional>
#include <string>
#include <string_view>

#include "match/mode.h"

namespace tarnwick {

// Why `pattern` (UTF-8, as typed in 编辑框筛选内容) cannot serve in `mode`, as the
// regular-expression engine words it ("missing closing parenthesis at character 2");
// nullopt when it can. Default mode takes every pattern; the wildcard and regex modes
// compile it as the content filter does.
std::optional<std::string> PatternProblem(MatchMode mode, std::string_view pattern);

}  // namespace tarnwick
