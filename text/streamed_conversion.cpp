#include "text/streamed_conversion.h"

#include <cstring>

namespace tarnwick {

StreamConverter::StreamConverter(const char* from, const char* to, std::string_view replacement)
    : iconv_(from, to, replacement) {
  if (std::strcmp(from, "UTF-8") == 0 && std::strcmp(to, "GB18030") == 0) table_ = Utf8ToGb18030Run;
  if (std::strcmp(from, "GB18030") == 0 && std::strcmp(to, "UTF-8") == 0) table_ = Gb18030ToUtf8Run;
  if (std::strcmp(from, "UTF-16LE") == 0 && std::strcmp(to, "GB18030") == 0)
    table_ = Utf16LeToGb18030Run;
  if (std::strcmp(from, "UTF-16BE") == 0 && std::strcmp(to, "GB18030") == 0)
    table_ = Utf16BeToGb18030Run;
}

void StreamConverter::Convert(std::string_view input, bool last, std::string& out) {
  if (table_ == nullptr) {
    iconv_.Convert(input, last, out);
    return;
  }
  input.remove_prefix(iconv_.Resume(input, last, out));
  // The table takes what it can; each character it stops at goes to iconv alone.
  while (!input.empty()) {
    input.remove_prefix(table_(input, out).converted);
    if (!input.empty()) input.remove_prefix(iconv_.ConvertFew(input, last, out));
  }
  if (last) iconv_.Convert({}, true, out);
}

}  // namespace tarnwick
