#pragma once
// Conversions between named encodings through iconv (names as iconv knows them, such
// as "UTF-8", "UTF-16LE", "BIG5-HKSCS", "GB18030"). Descriptors are opened once per
// thread and encoding pair and reused, since opening one costs far more than
// converting a small file.

#include <optional>
#include <string>
#include <string_view>

namespace tarnwick::platform {

// All or nothing: nullopt when any sequence of `input` is invalid or incomplete (a lone
// first byte of a multi-byte character at the end included), when a character has no
// form in `to`, or when iconv does not know one of the names. An empty input converts
// to an empty string.
std::optional<std::string> ConvertStrict(std::string_view input, const char* from, const char* to);

// Never fails on bad input: each invalid or unconvertible sequence becomes
// `replacement` (which must already be in the target encoding) and the conversion goes
// on after it; an incomplete sequence at the end becomes one `replacement`. Input is
// skipped one code unit at a time (two bytes for UTF-16, four for UTF-32, else one).
// Returns an empty string when iconv does not know one of the names.
std::string ConvertLenient(std::string_view input, const char* from, const char* to,
                           std::string_view replacement);

}  // namespace tarnwick::platform
