#include "engine/duplicates/text_read.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "engine/duplicates/stage_reader.h"
#include "platform/read_only_file.h"
#include "text/byte_source.h"
#include "text/text_loader.h"
#include "text/text_stream.h"

namespace tarnwick {
namespace {

// The content of an open file, up to the size it had when it was opened; going back to
// the first byte keeps the same file.
class OpenFileBytes final : public ByteSource {
 public:
  explicit OpenFileBytes(platform::ReadOnlyFile& file) : file_(file) {}

  std::int64_t Read(char* into, std::size_t count) override {
    count = static_cast<std::size_t>(
        std::clamp<std::int64_t>(file_.Size() - at_, 0, static_cast<std::int64_t>(count)));
    std::size_t filled = 0;
    while (filled < count) {
      const std::int64_t got = file_.ReadAt(into + filled, count - filled, at_ + filled);
      if (got < 0) {
        errno = file_.Error();
        return -1;
      }
      if (got == 0) break;
      filled += static_cast<std::size_t>(got);
    }
    if (at_ == 0) {
      const std::size_t probed = std::min(filled, kBinaryProbe);
      zeroNearStart_ = std::memchr(into, '\0', probed) != nullptr;
    }
    at_ += static_cast<std::int64_t>(filled);
    return static_cast<std::int64_t>(filled);
  }

  bool Rewind() override {
    at_ = 0;
    return true;
  }

  bool ZeroNearStart() const { return zeroNearStart_; }

 private:
  platform::ReadOnlyFile& file_;
  std::int64_t at_ = 0;
  bool zeroNearStart_ = false;
};

bool MarkedUtf16(int encoding) {
  return encoding == static_cast<int>(TextEncoding::Unicode) ||
         encoding == static_cast<int>(TextEncoding::UnicodeBE);
}

}  // namespace

TextReadOutcome ReadFileText(OpenedFolder& folders, std::string_view folder, const char* name,
                             std::optional<std::uint64_t> walkPrint, TextConsumer& consumer,
                             const StopRequest& stop) {
  TextReadOutcome outcome;
  const int folderFd = folders.For(folder);
  if (folderFd == -1) {
    outcome.error = folders.Error();
    return outcome;
  }
  platform::ReadOnlyFile file;
  if (!file.OpenRegularAt(folderFd, name)) {
    outcome.error = file.Error();
    return outcome;
  }
  // A name that now reaches another file, or a file written to since the walk, is not
  // what was found.
  if (walkPrint && PrintOf(file) != *walkPrint) {
    outcome.end = TextReadEnd::Changed;
    return outcome;
  }
  OpenFileBytes bytes(file);
  StreamSettings settings;
  settings.stopRequested = stop;
  const StreamOutcome streamed = StreamText(bytes, consumer, settings);
  switch (streamed.status) {
    case StreamOutcome::Status::Stopped:
      outcome.end = TextReadEnd::Stopped;
      return outcome;
    case StreamOutcome::Status::Failed:
    case StreamOutcome::Status::Skipped:
      outcome.error = streamed.error;
      return outcome;
    case StreamOutcome::Status::Read:
      break;
  }
  if (bytes.ZeroNearStart() && !MarkedUtf16(streamed.encoding)) {
    outcome.end = TextReadEnd::Binary;
    return outcome;
  }
  if (!file.UnchangedSinceOpen()) {
    outcome.end = TextReadEnd::Changed;
    return outcome;
  }
  outcome.end = TextReadEnd::Text;
  return outcome;
}

}  // namespace tarnwick
