#pragma once
// Table-driven conversions between UTF-8 and GB18030 for the characters of the Basic
// Multilingual Plane. They are an order of magnitude faster than iconv on Chinese text
// and give exactly iconv's results; what they do not handle they hand back.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "text/byte_buffer.h"

namespace tarnwick {

enum class TableConversion {
  Converted,  // `out` holds the whole input converted
  Invalid,    // the input is not valid UTF-8: a strict conversion fails
  Declined,   // the input holds something the table does not cover: ask iconv
};

// UTF-8 to GB18030, strictly: any invalid or incomplete sequence gives Invalid.
// Characters outside the Basic Multilingual Plane, and those iconv would not convert
// alone, give Declined. `out` is unspecified unless the result is Converted.
TableConversion Utf8ToGb18030ByTable(std::string_view input, std::string& out);
TableConversion Utf8ToGb18030ByTable(std::string_view input, ByteBuffer& out);

// The length of what Utf8ToGb18030ByTable would write when it would give Converted;
// nullopt when it would give Invalid or Declined. Writes nothing, so it tells cheaply
// whether bytes are UTF-8 the table converts.
std::optional<std::size_t> TableConvertedLength(std::string_view input);

// GB18030 to UTF-8 for text made of ASCII and two-byte characters. False (with `out`
// unspecified) at the first four-byte character or invalid sequence.
bool Gb18030ToUtf8ByTable(std::string_view input, std::string& out);

}  // namespace tarnwick
