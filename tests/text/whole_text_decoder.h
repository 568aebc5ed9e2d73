#pragma once
// The loader's decoding written the plain way, on a file's bytes held whole: every test
// of the whole bytes made on all of them at once. The streamed loader must give exactly
// what this gives, for any bytes and any piece size.

#include <cstddef>
#include <optional>
#include <string_view>

#include "text/text_loader.h"

namespace tarnwick::testing {

DecodedText DecodeWholeBytes(std::string_view bytes);

// Its two parts that read the whole text: the declaration search and reading as text.
std::optional<TextEncoding> WholeTextMetaCharset(std::string_view text);
std::size_t WholeTextReadAsTextLength(std::string_view bytes);

}  // namespace tarnwick::testing
