#pragma once
// Reading a file for one of the duplicate filter's digests: never past the size the
// file had when it was opened (a pseudo file that reports 0 bytes is never read, one
// that reports fewer bytes than it gives is read no further), in large reads, giving
// up within one read of a stop request. The caller says what a stop request is: a
// worker looks at the stop flag; the job's thread also handles window events.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <functional>

#include "platform/read_only_file.h"

namespace tarnwick {

enum class ReadEnd {
  Done,        // every byte asked for was read
  Unreadable,  // the system refused a read (the file's Error() tells why)
  Changed,     // the file is no longer the one the walk saw, or changed while read
  Unsized,     // it reports no bytes and yet has some: a pseudo file, no one's duplicate
  Stopped,     // a stop was requested
};

// Asked before each read: true once the read is to give up.
using StopRequest = std::function<bool()>;

// 1 MiB: large enough for the disk to read ahead well, small enough to stay in the
// processor's cache while it is digested and to answer a stop within milliseconds.
inline constexpr std::size_t kDigestReadSize = 1 << 20;

// This thread's read buffer of kDigestReadSize bytes, reused from file to file.
unsigned char* DigestReadBuffer();

// Feeds bytes [offset, offset + count) of the file, in order, to `sink`, a callable
// taking (const unsigned char* data, std::size_t size).
template <typename Sink>
ReadEnd ReadSpan(platform::ReadOnlyFile& file, std::int64_t offset, std::int64_t count,
                 const StopRequest& stop, Sink&& sink) {
  unsigned char* buffer = DigestReadBuffer();
  while (count > 0) {
    if (stop()) return ReadEnd::Stopped;
    const auto wanted = static_cast<std::size_t>(
        std::min<std::int64_t>(count, static_cast<std::int64_t>(kDigestReadSize)));
    const std::int64_t got = file.ReadAt(buffer, wanted, offset);
    if (got < 0) return ReadEnd::Unreadable;
    if (got == 0) return ReadEnd::Changed;
    sink(buffer, static_cast<std::size_t>(got));
    offset += got;
    count -= got;
  }
  return ReadEnd::Done;
}

}  // namespace tarnwick
