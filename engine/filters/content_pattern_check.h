#pragma once
// The check a filter job makes before it starts, in the window and on the command line
// alike: a content pattern that cannot be compiled is refused with the reason, never run
// as a search that finds nothing (or, with 不含内容, lists every file).

#include <optional>
#include <string>

#include "engine/job/option_controls.h"

namespace tarnwick {

// Why the job cannot run as the options read now: the content filter is ticked and its
// pattern does not compile in the selected mode ("missing closing parenthesis at
// character 2", in the engine's words). nullopt when the job can run.
std::optional<std::string> ContentPatternProblem(const OptionControls& options);

}  // namespace tarnwick
