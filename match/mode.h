#pragma once
// The match modes of the content filter.

namespace tarnwick {

// The items of 组合框匹配模式, by index.
enum class MatchMode { Default = 0, Wildcard = 1, Regex = 2 };

}  // namespace tarnwick
