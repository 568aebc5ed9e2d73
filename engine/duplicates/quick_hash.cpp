#include "engine/duplicates/quick_hash.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace tarnwick {
namespace {

constexpr std::uint64_t kMultiplyA = 0x9E3779B97F4A7C15ULL;
constexpr std::uint64_t kMultiplyB = 0xBF58476D1CE4E5B9ULL;
constexpr std::uint64_t kMultiplyC = 0x94D049BB133111EBULL;

std::uint64_t Load(const unsigned char* bytes) {
  std::uint64_t word;
  std::memcpy(&word, bytes, sizeof word);
  return word;
}

// Four independent lanes keep the multiplier busy; each word is spread over its lane.
std::uint64_t Round(std::uint64_t lane, std::uint64_t word) {
  return std::rotl(lane + word * kMultiplyB, 31) * kMultiplyA;
}

// Every bit of the input reaches every bit of the output.
std::uint64_t Avalanche(std::uint64_t value) {
  value = (value ^ (value >> 30)) * kMultiplyB;
  value = (value ^ (value >> 27)) * kMultiplyC;
  return value ^ (value >> 31);
}

}  // namespace

void QuickHash::Mix(const unsigned char* block) {
  for (int lane = 0; lane < 4; ++lane) lanes_[lane] = Round(lanes_[lane], Load(block + 8 * lane));
}

void QuickHash::Update(const unsigned char* data, std::size_t size) {
  length_ += size;
  if (pendingSize_ > 0) {
    const std::size_t taken = std::min(size, kBlock - pendingSize_);
    std::memcpy(pending_ + pendingSize_, data, taken);
    pendingSize_ += taken;
    data += taken;
    size -= taken;
    if (pendingSize_ < kBlock) return;
    Mix(pending_);
    pendingSize_ = 0;
  }
  for (; size >= kBlock; data += kBlock, size -= kBlock) Mix(data);
  std::memcpy(pending_, data, size);
  pendingSize_ = size;
}

std::uint64_t QuickHash::Value() const {
  std::uint64_t value = length_ * kMultiplyC;
  for (const std::uint64_t lane : lanes_)
    value = std::rotl(value ^ Avalanche(lane), 27) * kMultiplyA;
  unsigned char tail[kBlock] = {};
  std::memcpy(tail, pending_, pendingSize_);
  for (std::size_t at = 0; at < pendingSize_; at += 8) value = Round(value, Load(tail + at));
  return Avalanche(value);
}

}  // namespace tarnwick
