#include "engine/duplicates/band_insert.h"

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace tarnwick {

void InsertInBandOneByOne(std::uint64_t* least, unsigned rows, std::uint64_t gramHash) {
  unsigned at = rows - 1;
  while (at > 0 && least[at - 1] > gramHash) --at;
  if (at > 0 && least[at - 1] == gramHash) return;
  for (unsigned i = rows - 1; i > at; --i) least[i] = least[i - 1];
  least[at] = gramHash;
}

#if defined(__x86_64__)
namespace {

// Eight entries a vector, as many vectors as the rows take. An entry stays where it is
// below the new hash; from the new hash's place on, each takes the greater of the new
// hash and the entry before it, which moves the greater ones one place up and puts the
// new hash in its place.
__attribute__((target("avx512f"))) void InsertInBandByVectors(std::uint64_t* least, unsigned rows,
                                                              std::uint64_t gramHash) {
  const unsigned vectors = (rows + 7) / 8;
  const __m512i hash = _mm512_set1_epi64(static_cast<long long>(gramHash));
  __m512i entries[4];
  __mmask8 below[4];
  __mmask8 same = 0;
  for (unsigned v = 0; v < vectors; ++v) {
    entries[v] = _mm512_loadu_si512(least + 8 * v);
    below[v] = _mm512_cmplt_epu64_mask(entries[v], hash);
    same |= _mm512_cmpeq_epu64_mask(entries[v], hash);
  }
  if (same != 0) return;
  __m512i before = _mm512_setzero_si512();
  for (unsigned v = 0; v < vectors; ++v) {
    // The masked forms with every lane chosen: the plain ones start from an undefined
    // vector, which the compiler takes for one used uninitialised.
    const __m512i movedUp = _mm512_mask_alignr_epi64(hash, 0xFF, entries[v], before, 7);
    const __m512i placed = _mm512_mask_max_epu64(hash, 0xFF, movedUp, hash);
    _mm512_storeu_si512(least + 8 * v, _mm512_mask_blend_epi64(below[v], placed, entries[v]));
    before = entries[v];
  }
}

}  // namespace

BandInsert VectorBandInsert() {
  return __builtin_cpu_supports("avx512f") ? &InsertInBandByVectors : nullptr;
}
#else
BandInsert VectorBandInsert() { return nullptr; }
#endif

BandInsert FastestBandInsert() {
  static const BandInsert fastest = [] {
    const BandInsert vectors = VectorBandInsert();
    return vectors ? vectors : &InsertInBandOneByOne;
  }();
  return fastest;
}

}  // namespace tarnwick
