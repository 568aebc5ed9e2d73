#pragma once
// tarnwick-cli --encoding: the encoding the viewer would name for each file.

#include <string>
#include <vector>

namespace tarnwick::cli {

// Prints, for each file, the display name of its detected encoding, a TAB and the path
// ("ANSI" for a file that cannot be read, as the viewer shows it). Returns the exit
// status: 0, or 1 when the output could not be written.
int RunEncodingCommand(const std::vector<std::string>& files);

}  // namespace tarnwick::cli
