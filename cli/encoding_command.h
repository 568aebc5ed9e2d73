#pragma once
// tarnwick-cli --encoding: the encoding the viewer would name for each file.

#include <string>
#include <vector>

namespace tarnwick::cli {

// Prints, for each file, the display name of its detected encoding, a TAB and the path
// ("ANSI" for a special file, as the viewer shows it). A file that cannot be opened or
// read (missing, no permission, a folder) is named on standard error with the reason
// instead. With `guessEncodings` a legacy encoding is guessed as the window's option
// guesses it. Returns the exit status: 0, or 1 when a file could not be read or the
// output could not be written.
int RunEncodingCommand(const std::vector<std::string>& files, bool guessEncodings);

}  // namespace tarnwick::cli
