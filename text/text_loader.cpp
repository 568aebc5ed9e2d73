#include "text/text_loader.h"

#include "text/byte_buffer.h"
#include "text/file_bytes.h"
#include "text/text_decoder.h"

namespace tarnwick {
namespace {

// The file's bytes and their conversion. They keep their memory for the next file on
// this thread, so a job does not fault in fresh pages for every file it reads.
struct LoadBuffers {
  ByteBuffer bytes;
  ByteBuffer converted;
};

LoadBuffers& ThreadBuffers() {
  thread_local LoadBuffers buffers;
  return buffers;
}

}  // namespace

DecodedText LoadTextFile(const std::string& path) { return LoadTextFile(path, kTextFileSizeLimit); }

DecodedText LoadTextFile(const std::string& path, std::int64_t sizeLimit) {
  const TextView loaded = LoadTextView(path, Utf8Content::Convert, sizeLimit);
  return {std::string(loaded.text), loaded.encoding};
}

TextView LoadTextView(const std::string& path, Utf8Content utf8, std::int64_t sizeLimit) {
  LoadBuffers& buffers = ThreadBuffers();
  if (!ReadFileBytes(path, sizeLimit, buffers.bytes)) return {};
  return DecodeTextView(buffers.bytes.view(), utf8, buffers.converted);
}

}  // namespace tarnwick
