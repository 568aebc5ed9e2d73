#pragma once
// The streamed loader: reads a file's content in pieces through buffers reused from file
// to file, detects its encoding and decodes it as LoadTextFile does, and hands the text
// to a TextConsumer piece by piece. Memory stays bounded whatever the file's size.
//
// Reading stops early only where nothing after the current piece could change the
// consumer's answer or the encoding reported:
// - With a byte-order mark, or a charset declaration, the text is the lenient
//   conversion of the content up to its first zero (or, when that is empty, the raw
//   reading below): once the consumer's answer stands on a piece of it, or the zero is
//   reached, the rest of the file does not matter.
// - Content without either is read as UTF-8 only if all of it converts strictly, and is
//   reported as UTF-8 only if its text, cut at the first zero, is shorter than the whole
//   content: a byte at the very end can change both. Such content is read to its end
//   (past a settled answer only checked, no longer converted or handed on), unless a
//   byte proves it is not UTF-8: then it is read again from its first byte, raw. For a
//   consumer whose answer may hold for every reading, the check is put off: the bytes are
//   handed over as UTF-8 unchecked, and checked (from the first byte again) only if the
//   answer turns out to depend on the reading, or the encoding is wanted.
// - The raw reading (bytes taken as they are, up to the first 0x00 or 0x1A that starts
//   a character) ends where that text ends, or as soon as the answer stands and the
//   search for a declaration is settled (the head section has closed).
// A declaration found late means reading again from the first byte in the declared
// encoding. With a guess asked for, content that is not UTF-8 is first sampled from its
// first byte (text/legacy_guess.h): a Big5, Shift-JIS or EUC-KR guess is then read as a
// declaration would be, once the declaration search has settled; a GB18030 guess, or
// none, reads raw as without the guess.

#include <cstddef>
#include <functional>

#include "platform/file_ref.h"
#include "text/byte_source.h"
#include "text/text_consumer.h"

namespace tarnwick {

// Bytes read at a time: pieces that stay in the processor's cache while they are
// checked, converted and searched.
inline constexpr std::size_t kPieceSize = 128 * 1024;

struct StreamSettings {
  std::size_t pieceSize = kPieceSize;
  // Asked between pieces: true stops the reading. It must not read another file on this
  // thread (the reading's buffers are the thread's).
  std::function<bool()> stopRequested;
  // Asked once the answer holds for every reading: whether the encoding must still be
  // settled (the outcome's encoding is 0 when it is not). Unset: always.
  std::function<bool()> encodingWanted;
  // Content without a mark or declaration that is not UTF-8 is read in the legacy
  // encoding its first bytes suggest (text/legacy_guess.h) instead of as GB18030 bytes.
  bool guessEncodings = false;
};

struct StreamOutcome {
  enum class Status {
    Read,     // the consumer has its answer for the file's text
    Skipped,  // not a regular file, or gone: read as the empty text
    Failed,   // opening or reading failed (`error`): read as the empty text
    Stopped,  // stopped on request: the consumer's answer means nothing
  };
  Status status = Status::Read;
  int encoding = 0;  // the TextEncoding the content was read as; 0 when not read
  int error = 0;     // the errno of a failure
};

// Streams the content of `source` to `consumer`.
StreamOutcome StreamText(ByteSource& source, TextConsumer& consumer,
                         const StreamSettings& settings = {});

// Opens `file` (regular files only) and streams its content. A file that cannot be
// opened or read gives the consumer the empty text.
StreamOutcome StreamFileText(const platform::FileRef& file, TextConsumer& consumer,
                             const StreamSettings& settings = {});
// The same for a file whose content comes from `content` (opened here).
StreamOutcome StreamFileText(FileContent& content, TextConsumer& consumer,
                             const StreamSettings& settings = {});

}  // namespace tarnwick
