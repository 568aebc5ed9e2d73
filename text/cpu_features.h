#pragma once
// What the processor running the program can do beyond what the build assumes: the hot
// scans have a variant for 256-bit vectors, taken when the processor has them. Brings
// the vector intrinsics those scans use.

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#if defined(__x86_64__) && defined(__GNUC__)
#define TARNWICK_AVX2_VARIANTS 1
#include <immintrin.h>
#endif

namespace tarnwick {

// True on an x86-64 processor with AVX2.
inline bool HasAvx2() {
#if defined(TARNWICK_AVX2_VARIANTS)
  static const bool has = __builtin_cpu_supports("avx2");
  return has;
#else
  return false;
#endif
}

}  // namespace tarnwick
