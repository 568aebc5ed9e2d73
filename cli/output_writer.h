#pragma once
// Buffered writing to a file descriptor: results go out in large blocks, not one
// system call per line. Bytes are written exactly as given.

#include <cstddef>
#include <string_view>
#include <vector>

namespace tarnwick::cli {

class OutputWriter {
 public:
  explicit OutputWriter(int fd, std::size_t capacity = 256 * 1024);
  ~OutputWriter();
  OutputWriter(const OutputWriter&) = delete;
  OutputWriter& operator=(const OutputWriter&) = delete;

  void Write(std::string_view bytes);
  void Put(char byte);
  // Writes out what is buffered. False once any write has failed (the rest of the
  // output is then dropped).
  bool Flush();
  bool Failed() const { return failed_; }
  // The errno of the write that failed.
  int Error() const { return error_; }

 private:
  void WriteThrough(const char* data, std::size_t size);

  int fd_;
  std::vector<char> buffer_;
  std::size_t used_ = 0;
  bool failed_ = false;
  int error_ = 0;
};

}  // namespace tarnwick::cli
