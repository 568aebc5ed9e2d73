#pragma once
// The content filter's test and the file-name mask, built afresh for every folder, with
// the translations and searches they are made of.

#include "match/alternatives.h"
#include "match/content_matcher.h"
#include "match/file_mask.h"
#include "match/regex_object.h"
#include "match/wildcard_to_regex.h"

namespace tarnwick {

// The items of 组合框匹配模式, by index.
enum class MatchMode { Default = 0, Wildcard = 1, Regex = 2 };

}  // namespace tarnwick
