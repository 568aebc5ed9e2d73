#pragma once
// The content filter: the file's name and/or its decoded content must contain the
// pattern of 编辑框筛选内容 (包含内容) or must not (不含内容).

#include <string>

#include "engine/option_controls.h"
#include "match/match_mode.h"

namespace tarnwick {

// True when the file passes. Every ticked target must agree with the expectation;
// with neither 选择框文件名 nor 选择框文件内容 ticked every file passes. `matcher` is the
// folder's, built on entry to it. The name test sees the part after the last "/".
bool ContentFilterTest(const std::string& path, ContentMatcher& matcher,
                       const OptionControls& options);

}  // namespace tarnwick
