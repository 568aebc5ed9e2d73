#pragma once
// A fast 64-bit hash that tells data apart cheaply before anything is spent on an MD5
// digest: different hashes mean different data; equal hashes prove nothing. Data may
// be fed in slices of any size; the value equals that of the whole fed at once.

#include <cstddef>
#include <cstdint>

namespace tarnwick {

class QuickHash {
 public:
  void Update(const unsigned char* data, std::size_t size);
  std::uint64_t Value() const;

 private:
  static constexpr std::size_t kBlock = 32;
  void Mix(const unsigned char* block);

  std::uint64_t lanes_[4] = {0x243F6A8885A308D3ULL, 0x13198A2E03707344ULL, 0xA4093822299F31D0ULL,
                             0x082EFA98EC4E6C89ULL};
  unsigned char pending_[kBlock] = {};
  std::size_t pendingSize_ = 0;
  std::uint64_t length_ = 0;
};

}  // namespace tarnwick
