#pragma once
// Messages to the user on standard error, each line written at once so that it never
// interleaves with other output.

#include <string>

namespace tarnwick::cli {

// Writes "tarnwick-cli: " + text + a line feed.
void ReportError(const std::string& text);

// Writes the bytes as they are (no line feed added).
void WriteToStderr(const std::string& bytes);

// Writes text + a line feed.
void WriteLineToStderr(const std::string& text);

}  // namespace tarnwick::cli
