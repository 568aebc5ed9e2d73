#include "text/gb18030_conversion.h"

#include "platform/iconv_converter.h"
#include "text/table_conversion.h"

namespace tarnwick {
namespace {

constexpr const char* kTarget = "GB18030";
constexpr std::string_view kReplacement = "?";

}  // namespace

std::optional<std::string> StrictToGb18030(std::string_view bytes, TextEncoding encoding) {
  const char* source = ConversionName(encoding);
  if (source == nullptr) return std::nullopt;
  if (encoding == TextEncoding::Utf8) {
    std::string converted;
    switch (Utf8ToGb18030ByTable(bytes, converted)) {
      case TableConversion::Converted:
        return converted;
      case TableConversion::Invalid:
        return std::nullopt;
      case TableConversion::Declined:
        break;
    }
  }
  return platform::ConvertStrict(bytes, source, kTarget);
}

std::string LenientToGb18030(std::string_view bytes, TextEncoding encoding) {
  const char* source = ConversionName(encoding);
  if (source == nullptr) return {};
  if (encoding == TextEncoding::Big5 || encoding == TextEncoding::Big5Hkscs)
    bytes = bytes.substr(0, bytes.find('\0'));
  return platform::ConvertLenient(bytes, source, kTarget, kReplacement);
}

}  // namespace tarnwick
