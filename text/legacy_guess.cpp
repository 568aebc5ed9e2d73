#include "text/legacy_guess.h"

#include <uchardet.h>

#include <algorithm>
#include <string_view>

namespace tarnwick {

struct LegacyGuess::Detector {
  uchardet_t handle = uchardet_new();
  ~Detector() { uchardet_delete(handle); }
};

LegacyGuess::LegacyGuess() : detector_(std::make_unique<Detector>()) {}

LegacyGuess::~LegacyGuess() = default;

void LegacyGuess::Reset() {
  uchardet_reset(detector_->handle);
  taken_ = 0;
}

void LegacyGuess::Take(std::string_view bytes) {
  const std::size_t room = kGuessSample - std::min(taken_, kGuessSample);
  const std::size_t count = std::min(room, bytes.size());
  if (count == 0) return;
  uchardet_handle_data(detector_->handle, bytes.data(), count);
  taken_ += count;
}

std::optional<TextEncoding> LegacyGuess::Result() {
  uchardet_data_end(detector_->handle);
  const std::string_view charset = uchardet_get_charset(detector_->handle);
  // uchardet's names for the four, and for their supersets.
  if (charset == "GB18030" || charset == "GB2312" || charset == "GBK") return TextEncoding::Gb18030;
  if (charset == "BIG5" || charset == "BIG5-HKSCS") return TextEncoding::Big5;
  if (charset == "SHIFT_JIS" || charset == "WINDOWS-31J" || charset == "CP932")
    return TextEncoding::ShiftJis;
  if (charset == "EUC-KR" || charset == "UHC" || charset == "CP949") return TextEncoding::EucKr;
  return std::nullopt;
}

}  // namespace tarnwick
