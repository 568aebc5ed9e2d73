#include "cli/messages.h"

#include <unistd.h>

#include <cerrno>

namespace tarnwick::cli {

void WriteToStderr(const std::string& bytes) {
  const char* data = bytes.data();
  std::size_t left = bytes.size();
  while (left > 0) {
    const ssize_t written = ::write(STDERR_FILENO, data, left);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return;
    data += written;
    left -= static_cast<std::size_t>(written);
  }
}

void WriteLineToStderr(const std::string& text) { WriteToStderr(text + "\n"); }

void ReportError(const std::string& text) { WriteLineToStderr("tarnwick-cli: " + text); }

}  // namespace tarnwick::cli
