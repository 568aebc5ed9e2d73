#pragma once
// Counting the set bits of a vector comparison's 16-bit mask. The processor's own count
// needs flags the build does not assume, and the library's fallback is a call.

namespace tarnwick {

inline int BitCount16(unsigned mask) {
  mask = mask - ((mask >> 1) & 0x5555u);
  mask = (mask & 0x3333u) + ((mask >> 2) & 0x3333u);
  mask = (mask + (mask >> 4)) & 0x0F0Fu;
  return static_cast<int>((mask + (mask >> 8)) & 0x1Fu);
}

}  // namespace tarnwick
