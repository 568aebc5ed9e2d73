#pragma once
// A guess at the legacy encoding of text that has no byte-order mark, no charset
// declaration and is not UTF-8, when the user asks for one: GB18030 (GBK), Big5,
// Shift-JIS or EUC-KR, as the uchardet detector judges the bytes. Without a guess such
// text is read as the local code page, GB18030, as it always is.

#include <cstddef>
#include <memory>
#include <optional>
#include <string_view>

#include "text/text_loader.h"

namespace tarnwick {

// The detector looks at this much of the content, from its first byte.
inline constexpr std::size_t kGuessSample = 256 * 1024;

class LegacyGuess {
 public:
  LegacyGuess();
  ~LegacyGuess();
  LegacyGuess(const LegacyGuess&) = delete;
  LegacyGuess& operator=(const LegacyGuess&) = delete;

  // Starts over for another file's content.
  void Reset();
  // Takes the next bytes of the content; those past the sample are not looked at.
  void Take(std::string_view bytes);
  // True once the sample is complete.
  bool Full() const { return taken_ >= kGuessSample; }
  // The encoding the bytes taken so far are in, when it is one of the four; nullopt
  // when the detector names another or none.
  std::optional<TextEncoding> Result();

 private:
  struct Detector;
  std::unique_ptr<Detector> detector_;
  std::size_t taken_ = 0;
};

}  // namespace tarnwick
