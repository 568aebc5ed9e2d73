#pragma once
// Locality-sensitive banding of texts' gram sets: the gram hashes are dealt into a few
// bands by their bits, each band keeps the least few of its hashes, and two texts whose
// least hashes agree in some band are candidates to compare. Those least few agree with
// the probability of the texts' resemblance raised to their number, so texts that
// resemble each other at the threshold agree in some band with near certainty, texts far
// apart almost never, and a file is compared with the few groups it may join, not with
// every group: the cost grows with the number of files, not with its square.
//
// A band of a short text holds what few hashes fall into it, and agrees only with the
// same few: unlike bins of a one-permutation signature filled from their neighbours, it
// never rests on a single gram.

#include <array>
#include <cstdint>
#include <vector>

#include "engine/duplicates/band_insert.h"
#include "engine/duplicates/gram_signature.h"

namespace tarnwick {

// At most this many bands a file: each costs a leader an entry of the index.
inline constexpr unsigned kMostBands = 24;
inline constexpr unsigned kMostRows = 32;

// Least hashes a band and bands a file for a threshold.
struct BandShape {
  unsigned rows;
  unsigned bands;
};

// The widest bands (the fewest chance candidates) with which two texts that resemble
// each other at `threshold` (0.5 to 1) become candidates with a probability of at least
// 0.999. The lower the threshold, the narrower the bands, and the more texts that share
// little become candidates too.
BandShape BandShapeFor(double threshold);

// A hash of each band's least hashes; 0 for a band no gram fell into, which agrees with
// nothing.
using BandTags = std::array<std::uint32_t, kMostBands>;

// The bands of a text while it is read (a `Set` of CharacterGrams).
class BandSample {
 public:
  void SetShape(BandShape shape);
  void Clear();
  void Add(std::uint64_t gramHash) {
    // The low bits deal the bands; the signature's bins take the top ones.
    const auto band = static_cast<unsigned>(((gramHash & 0xFFFFFFFF) * shape_.bands) >> 32);
    std::uint64_t* least = least_[band].data();
    if (gramHash >= least[shape_.rows - 1]) return;
    insert_(least, shape_.rows, gramHash);
  }
  void Finish() {}
  BandTags Tags() const;

 private:
  BandShape shape_{1, 1};
  unsigned padded_ = 8;  // entries a band keeps filled: the rows, up to a whole eight
  BandInsert insert_ = FastestBandInsert();
  std::array<std::array<std::uint64_t, kMostRows>, kMostBands> least_{};
};

// The bands of the groups' leaders: for each band, a multimap from the band's tag to
// the groups whose leader has it, eight bytes an entry, no allocation per entry. A table
// a band: growing one never holds two copies of all of them.
class BandIndex {
 public:
  explicit BandIndex(BandShape shape) : shape_(shape), tables_(shape.bands) {}

  void Insert(const BandTags& tags, std::uint32_t group);
  // Appends to `groups` every group that agrees with `tags` in some band (a group may
  // come more than once; a rare group may come that does not agree).
  void Candidates(const BandTags& tags, std::vector<std::uint32_t>& groups) const;

 private:
  static constexpr std::uint32_t kEmpty = 0xFFFFFFFF;
  struct Slot {
    std::uint32_t tag = 0;
    std::uint32_t group = kEmpty;
  };
  // The top bits of a tag choose its slot, so growing needs the tag alone. Two bands
  // with one tag are rare and only make a candidate more.
  struct Table {
    std::vector<Slot> slots;
    std::size_t count = 0;
    unsigned bits = 0;
    std::size_t HomeOf(std::uint32_t tag) const { return tag >> (32 - bits); }
    void Place(Slot slot);
    void Grow();
  };

  BandShape shape_;
  std::vector<Table> tables_;
};

}  // namespace tarnwick
