#include "text/text_loader.h"

namespace tarnwick {

const char* DisplayName(int encoding) {
  switch (static_cast<TextEncoding>(encoding)) {
    case TextEncoding::Utf8:
      return "UTF-8";
    case TextEncoding::Unicode:
      return "Unicode";
    case TextEncoding::UnicodeBE:
      return "Unicode BE";
    case TextEncoding::Big5:
      return "Big5";
    case TextEncoding::Big5Hkscs:
      return "Big5-HKSCS";
    case TextEncoding::Gb18030:
      return "GB18030";
    case TextEncoding::ShiftJis:
      return "Shift-JIS";
    case TextEncoding::EucKr:
      return "EUC-KR";
    case TextEncoding::Ansi:
      break;
  }
  return "ANSI";
}

const char* ConversionName(TextEncoding encoding) {
  switch (encoding) {
    case TextEncoding::Utf8:
      return "UTF-8";
    case TextEncoding::Unicode:
      return "UTF-16LE";
    case TextEncoding::UnicodeBE:
      return "UTF-16BE";
    case TextEncoding::Big5:
      return "BIG5";
    case TextEncoding::Big5Hkscs:
      return "BIG5-HKSCS";
    // The Windows code pages of the two: supersets that old files often use.
    case TextEncoding::ShiftJis:
      return "CP932";
    case TextEncoding::EucKr:
      return "CP949";
    case TextEncoding::Gb18030:
    case TextEncoding::Ansi:
      break;
  }
  return nullptr;
}

}  // namespace tarnwick
