#include "text/gb18030_tables.h"

#include <memory>
#include <string>

#include "platform/iconv_converter.h"

namespace tarnwick {
namespace {

constexpr unsigned kTwoByteEntries = 126 * 191;

std::string EncodeUtf8(std::uint32_t codePoint) {
  std::string bytes;
  if (codePoint < 0x800) {
    bytes += static_cast<char>(0xC0 | (codePoint >> 6));
  } else {
    bytes += static_cast<char>(0xE0 | (codePoint >> 12));
    bytes += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
  }
  bytes += static_cast<char>(0x80 | (codePoint & 0x3F));
  return bytes;
}

std::uint32_t PackBigEndian(const std::string& bytes) {
  std::uint32_t packed = 0;
  for (char byte : bytes) packed = (packed << 8) | static_cast<unsigned char>(byte);
  return packed;
}

std::unique_ptr<std::uint32_t[]> BuildFromBmp() {
  auto table = std::make_unique<std::uint32_t[]>(0x10000);
  for (std::uint32_t codePoint = 0x80; codePoint < 0x10000; ++codePoint) {
    if (codePoint >= 0xD800 && codePoint < 0xE000) continue;
    const auto converted = platform::ConvertStrict(EncodeUtf8(codePoint), "UTF-8", "GB18030");
    // Only the two- and four-byte forms are packed; anything else stays with iconv.
    if (converted && (converted->size() == 2 || converted->size() == 4))
      table[codePoint] = PackBigEndian(*converted);
  }
  return table;
}

std::unique_ptr<std::uint16_t[]> BuildTwoByte() {
  auto table = std::make_unique<std::uint16_t[]>(kTwoByteEntries);
  for (unsigned first = 0x81; first <= 0xFE; ++first) {
    for (unsigned second = 0x40; second <= 0xFE; ++second) {
      const char bytes[2] = {static_cast<char>(first), static_cast<char>(second)};
      const auto decoded =
          platform::ConvertStrict(std::string_view(bytes, 2), "GB18030", "UTF-16LE");
      if (!decoded || decoded->size() != 2) continue;
      const auto low = static_cast<unsigned char>((*decoded)[0]);
      const auto high = static_cast<unsigned char>((*decoded)[1]);
      const auto codePoint = static_cast<std::uint16_t>(low | (high << 8));
      // Surrogate halves cannot stand alone; ASCII never comes from two bytes.
      if (codePoint < 0x80 || (codePoint >= 0xD800 && codePoint < 0xE000)) continue;
      table[TwoByteIndex(first, second)] = codePoint;
    }
  }
  return table;
}

}  // namespace

const std::uint32_t* Gb18030FromBmpTable() {
  static const std::unique_ptr<std::uint32_t[]> table = BuildFromBmp();
  return table.get();
}

const std::uint16_t* BmpFromGb18030TwoByteTable() {
  static const std::unique_ptr<std::uint16_t[]> table = BuildTwoByte();
  return table.get();
}

}  // namespace tarnwick
