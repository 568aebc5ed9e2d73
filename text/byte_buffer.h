#pragma once
// A byte buffer that grows without filling its new bytes and keeps its memory when it
// shrinks, so that one buffer serves every file of a job: the bytes of a file are
// written over the last file's instead of into fresh memory that must be zeroed and
// faulted in page by page.

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <memory>
#include <string_view>

namespace tarnwick {

class ByteBuffer {
 public:
  char* data() { return bytes_.get(); }
  const char* data() const { return bytes_.get(); }
  std::size_t size() const { return size_; }
  std::string_view view() const { return {bytes_.get(), size_}; }

  // Bytes below the old size are kept; bytes past it are left unset.
  void resize(std::size_t size) {
    if (size > capacity_) Grow(size);
    size_ = size;
  }

  void assign(std::string_view bytes) {
    resize(bytes.size());
    if (!bytes.empty()) std::memcpy(bytes_.get(), bytes.data(), bytes.size());
  }

 private:
  void Grow(std::size_t size) {
    // Half as much again as before, so a file read in growing steps is copied only a
    // few times.
    const std::size_t capacity = std::max(size, capacity_ + capacity_ / 2);
    std::unique_ptr<char[]> grown(new char[capacity]);
    if (size_ != 0) std::memcpy(grown.get(), bytes_.get(), size_);
    bytes_ = std::move(grown);
    capacity_ = capacity;
  }

  std::unique_ptr<char[]> bytes_;
  std::size_t size_ = 0;
  std::size_t capacity_ = 0;
};

}  // namespace tarnwick
