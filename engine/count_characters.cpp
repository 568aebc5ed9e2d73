#include "engine/count_characters.h"

namespace tarnwick {

// One pass over the bytes with a marker for a pending half character. Bytes of 0x80 and
// above pair up (lead and trail); an ASCII byte after a lead is the lead's trail (as in
// GBK's 0x40..0x7E trails and GB18030's digit bytes). CR LF is taken as a pair too, so
// it counts once.
std::int64_t CountCharacters(std::string_view text) {
  constexpr char kCr = '\r';
  constexpr char kLf = '\n';
  std::int64_t count = 0;
  bool halfPending = false;
  const std::size_t size = text.size();
  for (std::size_t index = 0; index < size; ++index) {
    const char byte = text[index];
    const bool ascii = static_cast<unsigned char>(byte) < 0x80;
    const bool crAlone = byte == kCr && (index + 1 == size || text[index + 1] != kLf);
    const bool lfAlone = byte == kLf && (index == 0 || text[index - 1] != kCr) && !halfPending;
    if ((ascii && byte != kCr && byte != kLf) || crAlone) {
      ++count;
      halfPending = false;
    } else if (lfAlone) {
      ++count;
    } else if (halfPending) {
      ++count;
      halfPending = false;
    } else {
      halfPending = true;
    }
  }
  return count;
}

}  // namespace tarnwick
