#include "engine/duplicates/quick_hash.h"

#define XXH_STATIC_LINKING_ONLY
#include <xxhash.h>

namespace tarnwick {

struct QuickHash::State {
  XXH3_state_t xxh3;
};

QuickHash::QuickHash() : state_(std::make_unique<State>()) { XXH3_64bits_reset(&state_->xxh3); }

QuickHash::~QuickHash() = default;

void QuickHash::Update(const unsigned char* data, std::size_t size) {
  XXH3_64bits_update(&state_->xxh3, data, size);
}

std::uint64_t QuickHash::Value() const { return XXH3_64bits_digest(&state_->xxh3); }

std::uint64_t QuickHashOf(const void* data, std::size_t size) { return XXH3_64bits(data, size); }

}  // namespace tarnwick
