#pragma once
// Reading one file's text for the duplicate filter's text keys, on whatever thread runs
// it: the file is opened in its folder (kept open for the folder's next file), its
// content decoded by the streamed loader into a consumer, and the read's end told. The
// file must be the one the walk saw (same device and inode, size and times), a read
// covers exactly the size it had when it was opened, and it must not change while it is
// read: otherwise its text is not the one the listing's check will find.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "engine/duplicates/digest_read.h"
#include "engine/duplicates/opened_folder.h"
#include "text/text_consumer.h"

namespace tarnwick {

enum class TextReadEnd {
  Text,        // the consumer has the file's text (which may be empty)
  Binary,      // the content is not text: a zero byte near its start
  Unreadable,  // the file or its folder could not be opened or read (`error`)
  Changed,     // not the file the walk saw, or written to while it was read
  Stopped,     // a stop was requested
};

struct TextReadOutcome {
  TextReadEnd end = TextReadEnd::Unreadable;
  int error = 0;  // the errno of Unreadable; 0 for a special file, refused by design
};

// A zero byte among a file's first kBinaryProbe bytes makes it binary, as it does for
// the usual text tools, unless its mark says UTF-16, whose text is full of zero bytes.
// Binary files hold no text worth comparing: read as text, every PNG would be "\x89PNG\r\n".
inline constexpr std::size_t kBinaryProbe = 64 * 1024;

// Reads the regular file `name` of `folder` (as FoundFiles keeps it) into `consumer`,
// with `folders` holding the folder open. `walkPrint` is the print (StampPrint) of the
// stamp the walk saw; without one any file under the name is read.
TextReadOutcome ReadFileText(OpenedFolder& folders, std::string_view folder, const char* name,
                             std::optional<std::uint64_t> walkPrint, TextConsumer& consumer,
                             const StopRequest& stop);

}  // namespace tarnwick
