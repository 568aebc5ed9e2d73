#pragma once
// Encoding detection and conversion of content already in memory: all of LoadTextFile
// but the reading of the file.

#include <string>
#include <string_view>

#include "text/byte_buffer.h"
#include "text/text_loader.h"

namespace tarnwick {

// Decodes the bytes of a whole file. The result's encoding is always 1..6; its text is
// GB18030 bytes without a zero byte.
DecodedText DecodeTextBytes(std::string bytes);

// DecodeTextBytes without copies: the result's text points into `bytes` (content that
// needs no conversion) or into `converted` (which the conversion writes).
TextView DecodeTextView(std::string_view bytes, Utf8Content utf8, ByteBuffer& converted);

}  // namespace tarnwick
