#pragma once
// A fast 64-bit hash (XXH3) that tells data apart cheaply before anything is spent on
// a file's final comparison: different hashes mean different data; equal hashes prove
// nothing. Data may be fed in slices of any size; the value equals that of the whole
// fed at once.

#include <cstddef>
#include <cstdint>
#include <memory>

namespace tarnwick {

class QuickHash {
 public:
  QuickHash();
  ~QuickHash();
  QuickHash(const QuickHash&) = delete;
  QuickHash& operator=(const QuickHash&) = delete;

  void Update(const unsigned char* data, std::size_t size);
  std::uint64_t Value() const;

 private:
  struct State;
  std::unique_ptr<State> state_;
};

// The quick hash of `size` bytes at `data`.
std::uint64_t QuickHashOf(const void* data, std::size_t size);

}  // namespace tarnwick
