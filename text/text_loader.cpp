#include "text/text_loader.h"

#include "text/file_bytes.h"
#include "text/text_decoder.h"

namespace tarnwick {

DecodedText LoadTextFile(const std::string& path) { return LoadTextFile(path, kTextFileSizeLimit); }

DecodedText LoadTextFile(const std::string& path, std::int64_t sizeLimit) {
  auto bytes = ReadFileBytes(path, sizeLimit);
  if (!bytes) return {};
  return DecodeTextBytes(std::move(*bytes));
}

}  // namespace tarnwick
