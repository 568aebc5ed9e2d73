#pragma once
// MD5 through OpenSSL's EVP interface. Data is fed in as many slices as the caller
// likes; the digest equals that of the whole data at once.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

struct evp_md_ctx_st;  // OpenSSL's EVP_MD_CTX

namespace tarnwick::platform {

using Md5Value = std::array<std::uint8_t, 16>;

class Md5Digest {
 public:
  Md5Digest();
  ~Md5Digest();
  Md5Digest(const Md5Digest&) = delete;
  Md5Digest& operator=(const Md5Digest&) = delete;

  // Starts a new digest, forgetting anything fed before. False when the library
  // cannot provide MD5.
  bool Begin();
  // False when the library refuses the data (the digest is then unusable).
  bool Update(const void* data, std::size_t size);
  // The digest of everything fed since Begin; nullopt when it cannot be delivered.
  std::optional<Md5Value> Finish();

 private:
  evp_md_ctx_st* context_;
  bool usable_ = false;
};

// 32 lowercase hexadecimal digits.
std::string HexText(const Md5Value& value);

// The MD5 of `data` as 32 lowercase hexadecimal digits; "" when it cannot be computed.
std::string Md5Hex(std::string_view data);

}  // namespace tarnwick::platform
