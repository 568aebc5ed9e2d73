#include "match/byte_counts.h"

namespace tarnwick {

void ByteCounts::Sample(std::string_view text) {
  constexpr std::size_t kSampleSize = 256;
  // Old samples fade, so a search follows the text it is in now.
  constexpr std::uint32_t kFadeAt = 1u << 20;
  const std::size_t step = text.size() > kSampleSize ? text.size() / kSampleSize : 1;
  for (std::size_t at = 0; at < text.size(); at += step)
    ++counts_[static_cast<unsigned char>(text[at])];
  total_ += static_cast<std::uint32_t>((text.size() + step - 1) / step);
  if (total_ < kFadeAt) return;
  for (std::uint32_t& count : counts_) count /= 2;
  total_ /= 2;
}

}  // namespace tarnwick
