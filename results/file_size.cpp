#include "results/file_size.h"

#include "platform/file_status.h"

namespace tarnwick {

std::int64_t FileSizeOf(const std::string& path) {
  const auto status = platform::StatusOf(path);
  return status ? status->size : 0;
}

}  // namespace tarnwick
