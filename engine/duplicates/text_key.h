#pragma once
// The key of the duplicate filter's 文本 (same text): the SHA-256 digest of a file's
// normalised text (normalised_text.h), streamed piece by piece. Files whose keys are
// equal hold the same text but for a chance of one in 2^128; a file whose normalised text
// is empty has no text and no key.

#include <cstdint>
#include <optional>
#include <string_view>

#include "platform/sha256_digest.h"

namespace tarnwick {

using TextKey = platform::Sha256Value;

// The `Out` of NormalisedText that digests it.
class TextKeyDigest {
 public:
  void Start() {
    length_ = 0;
    digest_.Begin();
  }
  void Take(std::string_view piece) {
    length_ += piece.size();
    digest_.Update(piece.data(), piece.size());
  }
  void Finish() {}
  // The key; nullopt for an empty text, or when the library could not digest it.
  std::optional<TextKey> Key() {
    if (length_ == 0) return std::nullopt;
    return digest_.Finish();
  }

 private:
  platform::Sha256Digest digest_;
  std::uint64_t length_ = 0;
};

}  // namespace tarnwick
