#pragma once
// Table-driven conversions between UTF-8 and GB18030 for the characters of the Basic
// Multilingual Plane. They are an order of magnitude faster than iconv on Chinese text
// and give exactly iconv's results; what they do not handle they hand back.

#include <cstddef>
#include <string>
#include <string_view>

namespace tarnwick {

enum class TableConversion {
  Converted,  // the whole input is converted
  Invalid,    // the input is not valid (or is cut off inside a character)
  Declined,   // the input holds something the table does not cover: ask iconv
};

// How far a table conversion got: `converted` bytes of the input, made of whole
// characters, and why it stopped there (Converted: at the end of the input).
struct TableRun {
  std::size_t converted = 0;
  TableConversion stop = TableConversion::Converted;
};

// UTF-8 to GB18030, appended to `out`, up to the first sequence that is invalid or cut
// off (Invalid), or a character beyond the Basic Multilingual Plane or one iconv would
// not convert alone (Declined).
TableRun Utf8ToGb18030Run(std::string_view input, std::string& out);

// UTF-16 (little- or big-endian) to GB18030, appended to `out`, for the Basic
// Multilingual Plane: up to the first surrogate (Declined: iconv pairs them and judges a
// lone one), a unit cut off at the end (Invalid) or a character the table leaves to
// iconv (Declined).
TableRun Utf16LeToGb18030Run(std::string_view input, std::string& out);
TableRun Utf16BeToGb18030Run(std::string_view input, std::string& out);

// GB18030 to UTF-8, appended to `out`, for ASCII and two-byte characters: up to the
// first four-byte character, invalid or cut-off sequence (Invalid), or code the table
// leaves to iconv (Declined).
TableRun Gb18030ToUtf8Run(std::string_view input, std::string& out);

// UTF-8 to GB18030 of the whole input, strictly: `out` (replaced) is meaningful only
// when the result is Converted.
TableConversion Utf8ToGb18030ByTable(std::string_view input, std::string& out);

// GB18030 to UTF-8 of the whole input: false (with `out` unspecified) when the table
// cannot convert all of it.
bool Gb18030ToUtf8ByTable(std::string_view input, std::string& out);

}  // namespace tarnwick
