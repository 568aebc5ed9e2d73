#include "engine/duplicates/digest_read.h"

#include <memory>

namespace tarnwick {

unsigned char* DigestReadBuffer() {
  thread_local const std::unique_ptr<unsigned char[]> buffer(new unsigned char[kDigestReadSize]);
  return buffer.get();
}

}  // namespace tarnwick
