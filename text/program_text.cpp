#include "text/program_text.h"

#include <cstdint>
#include <cstring>

#include "platform/iconv_converter.h"
#include "text/table_conversion.h"

namespace tarnwick {

std::string Gb18030ToUtf8(std::string_view text) {
  if (IsAscii(text)) return std::string(text);
  std::string converted;
  if (Gb18030ToUtf8ByTable(text, converted)) return converted;
  // U+FFFD, the replacement character, in UTF-8.
  return platform::ConvertLenient(text, "GB18030", "UTF-8", "\xEF\xBF\xBD");
}

std::string Utf8ToGb18030(std::string_view text) {
  if (IsAscii(text)) return std::string(text);
  std::string converted;
  if (Utf8ToGb18030ByTable(text, converted) == TableConversion::Converted) return converted;
  return platform::ConvertLenient(text, "UTF-8", "GB18030", "?");
}

std::string BytesAsProgramText(std::string_view bytes) {
  if (IsAscii(bytes)) return std::string(bytes);
  std::string converted;
  switch (Utf8ToGb18030ByTable(bytes, converted)) {
    case TableConversion::Converted:
      return converted;
    case TableConversion::Declined:
      // Beyond the table: UTF-8 all the same when iconv reads it so.
      if (platform::ConvertStrict(bytes, "UTF-8", "UTF-16LE")) return Utf8ToGb18030(bytes);
      break;
    case TableConversion::Invalid:
      break;
  }
  return std::string(bytes);
}

bool IsAscii(std::string_view bytes) {
  constexpr std::uint64_t kHighBits = 0x8080808080808080ULL;
  const char* data = bytes.data();
  const std::size_t size = bytes.size();
  std::size_t i = 0;
  // Four words per step, their high bits gathered before one test.
  for (; i + 32 <= size; i += 32) {
    std::uint64_t words[4];
    std::memcpy(words, data + i, 32);
    if (((words[0] | words[1] | words[2] | words[3]) & kHighBits) != 0) return false;
  }
  for (; i + 8 <= size; i += 8) {
    std::uint64_t word;
    std::memcpy(&word, data + i, 8);
    if ((word & kHighBits) != 0) return false;
  }
  for (; i < size; ++i) {
    if (static_cast<unsigned char>(data[i]) >= 0x80) return false;
  }
  return true;
}

}  // namespace tarnwick
