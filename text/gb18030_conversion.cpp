#include "text/gb18030_conversion.h"

#include "platform/iconv_converter.h"
#include "text/table_conversion.h"

namespace tarnwick {
namespace {

constexpr const char* kTarget = "GB18030";
constexpr std::string_view kReplacement = "?";

}  // namespace

bool StrictToGb18030(std::string_view bytes, TextEncoding encoding, ByteBuffer& out) {
  const char* source = ConversionName(encoding);
  if (source == nullptr) return false;
  if (encoding == TextEncoding::Utf8) {
    switch (Utf8ToGb18030ByTable(bytes, out)) {
      case TableConversion::Converted:
        return true;
      case TableConversion::Invalid:
        return false;
      case TableConversion::Declined:
        break;
    }
  }
  const auto converted = platform::ConvertStrict(bytes, source, kTarget);
  if (!converted) return false;
  out.assign(*converted);
  return true;
}

std::string LenientToGb18030(std::string_view bytes, TextEncoding encoding) {
  const char* source = ConversionName(encoding);
  if (source == nullptr) return {};
  if (encoding == TextEncoding::Big5 || encoding == TextEncoding::Big5Hkscs)
    bytes = bytes.substr(0, bytes.find('\0'));
  return platform::ConvertLenient(bytes, source, kTarget, kReplacement);
}

}  // namespace tarnwick
