#pragma once
// An open-addressing hash index from keys kept elsewhere (in a group table, a file
// table) to their 32-bit numbers. A slot holds 32 bits of the key's hash and the number:
// eight bytes per slot and no allocation per key, so a million groups stay small.

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

namespace tarnwick {

class HashIndex {
 public:
  // Finds the number whose key equals the probe: `hash` is the probe key's hash and
  // `equals(number)` tells whether the key of a stored number equals it. When none
  // does, stores `fresh`. Returns the number found or stored, and whether it was stored.
  template <typename Equals>
  std::pair<std::uint32_t, bool> FindOrInsert(std::uint64_t hash, Equals&& equals,
                                              std::uint32_t fresh) {
    if (2 * (count_ + 1) > slots_.size()) Grow();
    const std::uint32_t tag = TagOf(hash);
    for (std::size_t at = HomeOf(tag);; at = (at + 1) & (slots_.size() - 1)) {
      Slot& slot = slots_[at];
      if (slot.number == kEmpty) {
        slot = {tag, fresh};
        ++count_;
        return {fresh, true};
      }
      if (slot.tag == tag && equals(slot.number)) return {slot.number, false};
    }
  }

  std::size_t Count() const { return count_; }

  // A key of `hash` will be looked for soon: its home slot is fetched into the cache
  // meanwhile.
  void Prefetch(std::uint64_t hash) const {
    if (!slots_.empty()) __builtin_prefetch(&slots_[HomeOf(TagOf(hash))]);
  }

 private:
  static constexpr std::uint32_t kEmpty = 0xFFFFFFFF;
  struct Slot {
    std::uint32_t tag = 0;
    std::uint32_t number = kEmpty;
  };

  // The top bits of a well-mixed hash choose the slot, so growing needs the tag alone.
  static std::uint32_t TagOf(std::uint64_t hash) {
    return static_cast<std::uint32_t>((hash * 0x9E3779B97F4A7C15ULL) >> 32);
  }
  std::size_t HomeOf(std::uint32_t tag) const { return tag >> (32 - bits_); }

  void Grow() {
    std::vector<Slot> old = std::move(slots_);
    bits_ = old.empty() ? 4 : bits_ + 1;
    slots_.assign(std::size_t{1} << bits_, Slot{});
    for (const Slot& slot : old) {
      if (slot.number == kEmpty) continue;
      std::size_t at = HomeOf(slot.tag);
      while (slots_[at].number != kEmpty) at = (at + 1) & (slots_.size() - 1);
      slots_[at] = slot;
    }
  }

  std::vector<Slot> slots_;
  std::size_t count_ = 0;
  unsigned bits_ = 0;
};

}  // namespace tarnwick
