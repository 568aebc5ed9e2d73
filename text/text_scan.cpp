#include "text/text_scan.h"

namespace tarnwick {

std::size_t ReadAsTextLength(std::string_view bytes) {
  const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
  const std::size_t size = bytes.size();
  std::size_t i = 0;
  while (i < size) {
    const unsigned char byte = data[i];
    if (byte < 0x80) {
      if (byte == 0x00 || byte == 0x1A) return i;
      ++i;
      continue;
    }
    if (i + 1 >= size || data[i + 1] == 0x00) return i;
    i += 2;
  }
  return size;
}

}  // namespace tarnwick
