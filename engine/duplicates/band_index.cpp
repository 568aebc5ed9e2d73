#include "engine/duplicates/band_index.h"

#include <algorithm>
#include <cmath>

#include "engine/duplicates/character_grams.h"

namespace tarnwick {

BandShape BandShapeFor(double threshold) {
  BandShape best{1, kMostBands};
  for (unsigned rows = 1; rows <= kMostRows; ++rows) {
    const double missed = std::pow(1 - std::pow(threshold, rows), kMostBands);
    if (missed > 0.001) break;
    best = {rows, kMostBands};
  }
  return best;
}

void BandSample::SetShape(BandShape shape) {
  shape_ = shape;
  padded_ = (shape.rows + 7) / 8 * 8;
  Clear();
}

void BandSample::Clear() {
  for (unsigned band = 0; band < shape_.bands; ++band)
    std::fill(least_[band].begin(), least_[band].begin() + padded_, kNoGram);
}

BandTags BandSample::Tags() const {
  BandTags tags{};
  for (unsigned band = 0; band < shape_.bands; ++band) {
    const std::uint64_t* least = least_[band].data();
    if (least[0] == kNoGram) continue;
    std::uint64_t hash = MixBits(band + 1);
    for (unsigned row = 0; row < shape_.rows && least[row] != kNoGram; ++row)
      hash = MixBits(hash ^ least[row]);
    tags[band] = std::max<std::uint32_t>(1, static_cast<std::uint32_t>(hash >> 32));
  }
  return tags;
}

void BandIndex::Insert(const BandTags& tags, std::uint32_t group) {
  for (unsigned band = 0; band < shape_.bands; ++band) {
    if (tags[band] == 0) continue;
    Table& table = tables_[band];
    // At most four slots in five filled: probes stay within a cache line or two.
    if (5 * (table.count + 1) > 4 * table.slots.size()) table.Grow();
    table.Place({tags[band], group});
    ++table.count;
  }
}

void BandIndex::Candidates(const BandTags& tags, std::vector<std::uint32_t>& groups) const {
  // Every band's slot is asked for before the first is looked at: the tables are far
  // bigger than the processor's caches, and their misses then overlap.
  for (unsigned band = 0; band < shape_.bands; ++band) {
    const Table& table = tables_[band];
    if (tags[band] != 0 && !table.slots.empty())
      __builtin_prefetch(&table.slots[table.HomeOf(tags[band])]);
  }
  for (unsigned band = 0; band < shape_.bands; ++band) {
    const Table& table = tables_[band];
    if (tags[band] == 0 || table.slots.empty()) continue;
    for (std::size_t at = table.HomeOf(tags[band]); table.slots[at].group != kEmpty;
         at = (at + 1) & (table.slots.size() - 1)) {
      if (table.slots[at].tag == tags[band]) groups.push_back(table.slots[at].group);
    }
  }
}

void BandIndex::Table::Place(Slot slot) {
  std::size_t at = HomeOf(slot.tag);
  while (slots[at].group != kEmpty) at = (at + 1) & (slots.size() - 1);
  slots[at] = slot;
}

void BandIndex::Table::Grow() {
  std::vector<Slot> old = std::move(slots);
  bits = old.empty() ? 6 : bits + 1;
  slots.assign(std::size_t{1} << bits, Slot{});
  for (const Slot& slot : old) {
    if (slot.group != kEmpty) Place(slot);
  }
}

}  // namespace tarnwick
