#pragma once
// A file the text keys could not read, for a reason the system gave.

#include <cstdint>

namespace tarnwick {

struct TextReadError {
  std::uint32_t file;
  int error;  // errno
};

}  // namespace tarnwick
