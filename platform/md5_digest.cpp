#include "platform/md5_digest.h"

#include <openssl/evp.h>

namespace tarnwick::platform {
namespace {

// Fetched once: an implicit fetch on every EVP_DigestInit_ex costs a lookup per file.
const EVP_MD* Md5Algorithm() {
  static EVP_MD* const algorithm = EVP_MD_fetch(nullptr, "MD5", nullptr);
  return algorithm;
}

}  // namespace

Md5Digest::Md5Digest() : context_(EVP_MD_CTX_new()) {}

Md5Digest::~Md5Digest() { EVP_MD_CTX_free(context_); }

bool Md5Digest::Begin() {
  usable_ = context_ && Md5Algorithm() && EVP_DigestInit_ex(context_, Md5Algorithm(), nullptr) == 1;
  return usable_;
}

bool Md5Digest::Update(const void* data, std::size_t size) {
  if (!usable_) return false;
  usable_ = EVP_DigestUpdate(context_, data, size) == 1;
  return usable_;
}

std::optional<Md5Value> Md5Digest::Finish() {
  if (!usable_) return std::nullopt;
  usable_ = false;
  Md5Value value{};
  unsigned int length = 0;
  if (EVP_DigestFinal_ex(context_, value.data(), &length) != 1 || length != value.size())
    return std::nullopt;
  return value;
}

std::string HexText(const Md5Value& value) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string text;
  text.reserve(2 * value.size());
  for (const std::uint8_t byte : value) {
    text += kDigits[byte >> 4];
    text += kDigits[byte & 0x0F];
  }
  return text;
}

std::string Md5Hex(std::string_view data) {
  Md5Digest digest;
  if (!digest.Begin() || !digest.Update(data.data(), data.size())) return {};
  const std::optional<Md5Value> value = digest.Finish();
  return value ? HexText(*value) : std::string();
}

}  // namespace tarnwick::platform
