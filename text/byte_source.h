#pragma once
// Where the streamed loader takes a file's bytes from: the file itself, opened relative
// to its folder, or bytes already in memory.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/file_ref.h"
#include "platform/read_only_file.h"

namespace tarnwick {

class ByteSource {
 public:
  virtual ~ByteSource() = default;
  // Reads up to `count` bytes into `into`: the count read (fewer only at the end), 0 at
  // the end, -1 when reading failed (with errno set).
  virtual std::int64_t Read(char* into, std::size_t count) = 0;
  // Goes back to the first byte. False when that fails (with errno set).
  virtual bool Rewind() = 0;
};

class MemorySource final : public ByteSource {
 public:
  explicit MemorySource(std::string_view bytes) : bytes_(bytes) {}
  std::int64_t Read(char* into, std::size_t count) override;
  bool Rewind() override;

 private:
  std::string_view bytes_;
  std::size_t at_ = 0;
};

// How opening a file for its content went.
enum class OpenResult {
  Opened,
  Skipped,  // not a regular file, or gone (a dangling link, a file that vanished): by design
  Failed,   // the system refused (permission, an I/O error): errno kept
};

// A file's content: opened first, then read.
class FileContent : public ByteSource {
 public:
  // Opens the file read-only; only regular files are opened. On Failed, Error() is the
  // errno.
  virtual OpenResult Open() = 0;
  virtual int Error() const = 0;
};

class FileSource final : public FileContent {
 public:
  explicit FileSource(const platform::FileRef& file) : file_(file) {}
  OpenResult Open() override;
  int Error() const override { return error_; }
  // Reads no further than the size the file had when it was opened, so a small file
  // takes one read, not a second one to find its end; a file that reports no size (as
  // pseudo files do) is read to its end.
  std::int64_t Read(char* into, std::size_t count) override;
  // Opens the file again.
  bool Rewind() override;

 private:
  platform::FileRef file_;
  platform::ReadOnlyFile open_;
  std::int64_t at_ = 0;  // bytes read since the file was opened
  int error_ = 0;
};

}  // namespace tarnwick
