#include "text/gb18030_tables.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

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

// The code point of a piece that is exactly one two- or three-byte UTF-8 character
// (as iconv writes them: well formed).
std::optional<std::uint16_t> DecodeTwoOrThreeByteUtf8(std::string_view piece) {
  if (piece.empty()) return std::nullopt;
  const auto lead = static_cast<unsigned char>(piece[0]);
  if (piece.size() == 2 && (lead & 0xE0) == 0xC0)
    return static_cast<std::uint16_t>(((lead & 0x1Fu) << 6) | (piece[1] & 0x3Fu));
  if (piece.size() == 3 && (lead & 0xF0) == 0xE0)
    return static_cast<std::uint16_t>(((lead & 0x0Fu) << 12) | ((piece[1] & 0x3Fu) << 6) |
                                      (piece[2] & 0x3Fu));
  return std::nullopt;
}

std::uint32_t PackBigEndian(std::string_view bytes) {
  std::uint32_t packed = 0;
  for (char byte : bytes) packed = (packed << 8) | static_cast<unsigned char>(byte);
  return packed;
}

// Converting every character in one call keeps the start-up cost to a millisecond or
// two. Each character is followed by a line feed, which never occurs inside a
// multi-byte character of either encoding, so the output splits back into one piece
// per character. A character iconv rejects comes out as nothing but replacements.
std::vector<std::string_view> SplitAtLineFeeds(std::string_view text) {
  std::vector<std::string_view> pieces;
  std::size_t start = 0;
  for (std::size_t end; (end = text.find('\n', start)) != std::string_view::npos; start = end + 1)
    pieces.push_back(text.substr(start, end - start));
  return pieces;
}

std::unique_ptr<std::uint32_t[]> BuildFromBmp() {
  std::vector<std::uint32_t> codePoints;
  std::string input;
  for (std::uint32_t codePoint = 0x80; codePoint < 0x10000; ++codePoint) {
    if (codePoint >= 0xD800 && codePoint < 0xE000) continue;
    codePoints.push_back(codePoint);
    input += EncodeUtf8(codePoint);
    input += '\n';
  }
  const std::string output = platform::ConvertLenient(input, "UTF-8", "GB18030", "\x01");
  const std::vector<std::string_view> pieces = SplitAtLineFeeds(output);

  auto table = std::make_unique<std::uint32_t[]>(0x10000);
  if (pieces.size() != codePoints.size()) return table;  // all left to iconv
  for (std::size_t i = 0; i < pieces.size(); ++i) {
    const std::string_view piece = pieces[i];
    // Only the two- and four-byte forms are packed; a rejected character stays with iconv.
    const bool multiByte = !piece.empty() && static_cast<unsigned char>(piece[0]) >= 0x81;
    if (multiByte && (piece.size() == 2 || piece.size() == 4))
      table[codePoints[i]] = PackBigEndian(piece);
  }
  return table;
}

std::unique_ptr<std::uint16_t[]> BuildTwoByte() {
  std::string input;
  for (unsigned first = 0x81; first <= 0xFE; ++first) {
    for (unsigned second = 0x40; second <= 0xFE; ++second) {
      input += static_cast<char>(first);
      input += static_cast<char>(second);
      input += '\n';
    }
  }
  const std::string output = platform::ConvertLenient(input, "GB18030", "UTF-8", "\x01");
  const std::vector<std::string_view> pieces = SplitAtLineFeeds(output);

  auto table = std::make_unique<std::uint16_t[]>(kTwoByteEntries);
  if (pieces.size() != kTwoByteEntries) return table;  // all left to iconv
  for (std::size_t i = 0; i < pieces.size(); ++i) {
    // Rejected codes, and those decoding to ASCII or beyond the BMP, stay with iconv.
    if (auto codePoint = DecodeTwoOrThreeByteUtf8(pieces[i])) table[i] = *codePoint;
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
