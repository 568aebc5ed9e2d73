#include "cli/output_writer.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace tarnwick::cli {

OutputWriter::OutputWriter(int fd, std::size_t capacity) : fd_(fd), buffer_(capacity) {}

OutputWriter::~OutputWriter() { Flush(); }

void OutputWriter::Write(std::string_view bytes) {
  if (bytes.size() > buffer_.size() - used_) {
    Flush();
    if (bytes.size() >= buffer_.size()) {
      WriteThrough(bytes.data(), bytes.size());
      return;
    }
  }
  std::memcpy(buffer_.data() + used_, bytes.data(), bytes.size());
  used_ += bytes.size();
}

void OutputWriter::Put(char byte) {
  if (used_ == buffer_.size()) Flush();
  buffer_[used_++] = byte;
}

bool OutputWriter::Flush() {
  WriteThrough(buffer_.data(), used_);
  used_ = 0;
  return !failed_;
}

void OutputWriter::WriteThrough(const char* data, std::size_t size) {
  while (size > 0 && !failed_) {
    const ssize_t written = ::write(fd_, data, size);
    if (written < 0) {
      if (errno == EINTR) continue;
      failed_ = true;
      error_ = errno;
      return;
    }
    data += written;
    size -= static_cast<std::size_t>(written);
  }
}

}  // namespace tarnwick::cli
