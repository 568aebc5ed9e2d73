#pragma once
// Ctrl-C during a job is the stop button: each press sets the job's StopFlag. A press
// that finds the flag still set from an earlier press (the job has not taken the stop
// up yet, or no job runs) ends the program at once with status 130.

#include "engine/job/stop_flag.h"

namespace tarnwick::cli {

// Installs the SIGINT handler for `stop`, which must outlive the program's run.
void InstallInterruptHandler(StopFlag& stop);

// True once Ctrl-C has been pressed.
bool WasInterrupted();

}  // namespace tarnwick::cli
