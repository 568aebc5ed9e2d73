#pragma once
// Conversions of file content into the program's text (GB18030 bytes).

#include <string>
#include <string_view>

#include "text/byte_buffer.h"
#include "text/text_loader.h"

namespace tarnwick {

// Converts the whole of `bytes` from `encoding` (not Ansi) to GB18030 into `out`. False
// (with `out` unspecified) when any sequence is invalid or incomplete: all or nothing.
bool StrictToGb18030(std::string_view bytes, TextEncoding encoding, ByteBuffer& out);

// The fallback when the strict conversion fails: bad sequences become "?". Big5 and
// Big5-HKSCS bytes are taken only up to their first zero byte. The result may hold
// zero bytes (decoded U+0000); the caller cuts the text there.
std::string LenientToGb18030(std::string_view bytes, TextEncoding encoding);

}  // namespace tarnwick
