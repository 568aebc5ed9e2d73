#pragma once
// SHA-256 through OpenSSL's EVP interface (which uses the processor's SHA instructions
// where it has them). Data is fed in as many slices as the caller likes; the digest
// equals that of the whole data at once. A digest in progress may be copied: the copy
// goes on from the same state, on its own.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

struct evp_md_ctx_st;  // OpenSSL's EVP_MD_CTX

namespace tarnwick::platform {

using Sha256Value = std::array<std::uint8_t, 32>;

class Sha256Digest {
 public:
  Sha256Digest();
  ~Sha256Digest();
  Sha256Digest(const Sha256Digest& other);
  Sha256Digest& operator=(const Sha256Digest& other);

  // Starts a new digest, forgetting anything fed before. False when the library
  // cannot provide SHA-256.
  bool Begin();
  // False when the library refuses the data (the digest is then unusable).
  bool Update(const void* data, std::size_t size);
  // The digest of everything fed since Begin; nullopt when it cannot be delivered.
  std::optional<Sha256Value> Finish();

 private:
  evp_md_ctx_st* context_;
  bool usable_ = false;
};

// 64 lowercase hexadecimal digits.
std::string HexText(const Sha256Value& value);

// The SHA-256 of `data` as 64 lowercase hexadecimal digits; "" when it cannot be computed.
std::string Sha256Hex(std::string_view data);

}  // namespace tarnwick::platform
