#pragma once
// Lenient conversions of content that arrives in pieces (bad input becomes a
// replacement, as in the loader's fallbacks), giving for the pieces joined what
// converting them whole gives. From UTF-8 and UTF-16 to GB18030 and back to UTF-8 the
// table conversions do the common characters and iconv the rest.

#include <string>
#include <string_view>

#include "platform/iconv_converter.h"
#include "text/table_conversion.h"

namespace tarnwick {

class StreamConverter {
 public:
  // `from` and `to` are iconv's names; `replacement` is in `to`.
  StreamConverter(const char* from, const char* to, std::string_view replacement);
  // Forgets what was kept of the last text.
  void Reset() { iconv_.Reset(); }
  // Appends to `out` the conversion of `input`, the next bytes of the text; `last` when
  // the text ends with them. Bytes of a character cut off at the end are kept for the
  // next call.
  void Convert(std::string_view input, bool last, std::string& out);

 private:
  using TableStep = TableRun (*)(std::string_view, std::string&);
  platform::LenientStream iconv_;
  TableStep table_ = nullptr;
};

}  // namespace tarnwick
