#include "engine/duplicates/text_key_finder.h"

#include <cstring>

#include "engine/duplicates/normalised_text.h"
#include "engine/duplicates/text_read.h"
#include "engine/duplicates/text_read_lane.h"
#include "platform/read_only_file.h"

namespace tarnwick {

struct TextKeyFinder::Result {
  std::uint32_t file;
  TextReadOutcome read;
  std::optional<TextKey> key;
};

// One thread's reader: its folder kept open, its normaliser and digest reused.
class TextKeyFinder::Reader {
 public:
  Reader(bool stripTags, bool stripSpace) { text_.Configure(stripTags, stripSpace); }

  Result Read(const TextReadItem& item, const StopRequest& stop) {
    Result result{item.file,
                  ReadFileText(folders_, item.folder, item.name, item.print, text_, stop), {}};
    if (result.read.end == TextReadEnd::Text) result.key = text_.Output().Key();
    return result;
  }

 private:
  OpenedFolder folders_;
  NormalisedText<TextKeyDigest> text_;
};

struct TextKeyFinder::Lane : TextReadLane<Reader> {
  using TextReadLane<Reader>::TextReadLane;
};

TextKeyFinder::TextKeyFinder(const FoundFiles& files, WorkerPool* pool, JobHost& host,
                             const StopFlag& stop, bool stripTags, bool stripSpace)
    : lane_(std::make_unique<Lane>(
          files, pool, host, stop,
          [=] { return std::make_unique<Reader>(stripTags, stripSpace); },
          [this](Result& result) { TakeResult(result); })) {}

TextKeyFinder::~TextKeyFinder() = default;

void TextKeyFinder::Add(std::uint32_t file, const FileStamp& stamp, bool regular) {
  keyOf_.push_back(kNoKey);
  prints_.push_back(StampPrint(stamp));
  if (regular) lane_->Add(file, prints_[file]);
}

void TextKeyFinder::Finish() { lane_->Finish(); }

void TextKeyFinder::TakeResult(Result& result) {
  if (result.read.end == TextReadEnd::Unreadable && platform::IsReadFailure(result.read.error)) {
    errors_.push_back({result.file, result.read.error});
    return;
  }
  if (result.read.end == TextReadEnd::Changed) changed_.push_back(result.file);
  if (!result.key) return;
  std::uint64_t hash;
  std::memcpy(&hash, result.key->data(), sizeof hash);
  const auto [number, created] = keyIndex_.FindOrInsert(
      hash, [&](std::uint32_t known) { return keys_[known] == *result.key; },
      static_cast<std::uint32_t>(keys_.size()));
  if (created) keys_.push_back(*result.key);
  keyOf_[result.file] = number;
}

}  // namespace tarnwick
