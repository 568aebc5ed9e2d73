#include "platform/sha256_digest.h"

#include <openssl/evp.h>

namespace tarnwick::platform {
namespace {

// Fetched once: an implicit fetch on every EVP_DigestInit_ex costs a lookup per file.
const EVP_MD* Sha256Algorithm() {
  static EVP_MD* const algorithm = EVP_MD_fetch(nullptr, "SHA256", nullptr);
  return algorithm;
}

}  // namespace

Sha256Digest::Sha256Digest() : context_(EVP_MD_CTX_new()) {}

Sha256Digest::~Sha256Digest() { EVP_MD_CTX_free(context_); }

Sha256Digest::Sha256Digest(const Sha256Digest& other) : context_(EVP_MD_CTX_new()) {
  *this = other;
}

Sha256Digest& Sha256Digest::operator=(const Sha256Digest& other) {
  if (this == &other) return *this;
  usable_ = other.usable_ && context_ && EVP_MD_CTX_copy_ex(context_, other.context_) == 1;
  return *this;
}

bool Sha256Digest::Begin() {
  usable_ =
      context_ && Sha256Algorithm() && EVP_DigestInit_ex(context_, Sha256Algorithm(), nullptr) == 1;
  return usable_;
}

bool Sha256Digest::Update(const void* data, std::size_t size) {
  if (!usable_) return false;
  usable_ = EVP_DigestUpdate(context_, data, size) == 1;
  return usable_;
}

std::optional<Sha256Value> Sha256Digest::Finish() {
  if (!usable_) return std::nullopt;
  usable_ = false;
  Sha256Value value{};
  unsigned int length = 0;
  if (EVP_DigestFinal_ex(context_, value.data(), &length) != 1 || length != value.size())
    return std::nullopt;
  return value;
}

std::string HexText(const Sha256Value& value) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string text;
  text.reserve(2 * value.size());
  for (const std::uint8_t byte : value) {
    text += kDigits[byte >> 4];
    text += kDigits[byte & 0x0F];
  }
  return text;
}

std::string Sha256Hex(std::string_view data) {
  Sha256Digest digest;
  if (!digest.Begin() || !digest.Update(data.data(), data.size())) return {};
  const std::optional<Sha256Value> value = digest.Finish();
  return value ? HexText(*value) : std::string();
}

}  // namespace tarnwick::platform
