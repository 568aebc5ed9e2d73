#pragma once
// The filter job of tarnwick-cli: checks FOLDER, runs the job with the rows printed as
// they come, and ends with the summary on standard error.

#include "cli/command_line.h"
#include "engine/job/option_controls.h"

namespace tarnwick::cli {

// Returns the exit status: 0 when the job ran, 1 when some folder or file could not be
// read or the results could not be written, 2 when FOLDER is not a folder, 130 when
// Ctrl-C stopped the job.
int RunJobCommand(const CommandLine& line, const OptionControls& options);

}  // namespace tarnwick::cli
