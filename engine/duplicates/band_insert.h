#pragma once
// Putting a gram hash in its place among a band's least hashes. A band's least lie
// sorted in its first `rows` entries, and the entries after them, up to a whole number
// of eights, hold greater values (at first kNoGram). A hash already there is kept once.
// Most grams of a short text go in somewhere, each at an unforeseeable place: the
// processor's 512-bit vectors find the place and move the greater ones in a few
// instructions without a branch to guess, where the processor has them.

#include <cstdint>

namespace tarnwick {

inline constexpr std::uint64_t kNoGram = ~std::uint64_t{0};

// `gramHash` must be below the band's greatest kept hash, least[rows - 1].
using BandInsert = void (*)(std::uint64_t* least, unsigned rows, std::uint64_t gramHash);

// One entry at a time; every processor.
void InsertInBandOneByOne(std::uint64_t* least, unsigned rows, std::uint64_t gramHash);
// The 512-bit form where the processor has it (AVX-512F), or null.
BandInsert VectorBandInsert();
// The fastest this processor has.
BandInsert FastestBandInsert();

}  // namespace tarnwick
