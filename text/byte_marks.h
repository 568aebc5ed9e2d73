#pragma once
// One pass over a piece of content for the few byte values the loader's readings care
// about: a zero ends the UTF-8 reading's text, a 0x00 or 0x1A may end the raw reading's,
// a «<» may start a tag of the charset declaration search.

#include <cstddef>
#include <string_view>

namespace tarnwick {

struct ByteMarks {
  std::size_t firstZero = std::string_view::npos;  // only when asked for
  bool stopByte = false;                           // a 0x00 or a 0x1A
  bool openAngle = false;                          // a «<»
  bool ascii = true;                               // every byte below 0x80
};

// `findZero`: also where the first zero byte is.
ByteMarks ScanByteMarks(std::string_view piece, bool findZero);

}  // namespace tarnwick
