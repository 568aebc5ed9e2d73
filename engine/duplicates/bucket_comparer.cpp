#include "engine/duplicates/bucket_comparer.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "engine/duplicates/opened_folder.h"
#include "engine/duplicates/stage_reader.h"
#include "platform/read_only_file.h"

namespace tarnwick {
namespace {

// What the pieces of all the files read side by side may take together, and the
// bounds of one piece.
constexpr std::size_t kPiecesTogether = 8 << 20;
constexpr std::size_t kSmallestPiece = 64 << 10;
constexpr std::size_t kLargestPiece = 1 << 20;

// Reads `count` bytes at `offset` whole. False when the file ends early or a read fails
// (`error` then holds the errno, 0 for an early end).
bool ReadWhole(platform::ReadOnlyFile& file, unsigned char* buffer, std::size_t count,
               std::int64_t offset, int& error) {
  while (count > 0) {
    const std::int64_t got = file.ReadAt(buffer, count, offset);
    if (got <= 0) {
      error = got < 0 ? file.Error() : 0;
      return false;
    }
    buffer += got;
    count -= static_cast<std::size_t>(got);
    offset += got;
  }
  return true;
}

using Class = std::vector<std::uint32_t>;

}  // namespace

CompareOutcome CompareBytes(const std::vector<CompareItem>& items, std::int64_t size,
                            const StopRequest& stop) {
  CompareOutcome outcome;
  const auto count = static_cast<std::uint32_t>(items.size());
  outcome.sameAs.assign(count, CompareOutcome::kAlone);
  std::vector<std::unique_ptr<platform::ReadOnlyFile>> files(count);
  Class everyone;
  OpenedFolder folder;
  for (std::uint32_t index = 0; index < count; ++index) {
    const CompareItem& item = items[index];
    const int folderFd = folder.For(item.folder);
    auto file = std::make_unique<platform::ReadOnlyFile>();
    if (folderFd == -1 || !file->OpenRegularAt(folderFd, item.name)) {
      outcome.unreadable.push_back({index, folderFd == -1 ? folder.Error() : file->Error()});
      continue;
    }
    if (PrintOf(*file) != item.print) {
      outcome.changed.push_back(index);
      continue;
    }
    files[index] = std::move(file);
    everyone.push_back(index);
  }

  // Small files are compared in one piece of their own size.
  const std::size_t piece = std::min<std::size_t>(
      static_cast<std::size_t>(std::max<std::int64_t>(size, 1)),
      std::clamp<std::size_t>(kPiecesTogether / std::max<std::size_t>(count, 1), kSmallestPiece,
                              kLargestPiece));
  // This thread's buffer, kept from bucket to bucket: a piece for each file.
  thread_local std::vector<unsigned char> buffer;
  if (buffer.size() < count * piece) buffer.resize(count * piece);
  const auto pieceOf = [&](std::uint32_t index) { return buffer.data() + index * piece; };
  std::vector<Class> classes;
  if (everyone.size() >= 2) classes.push_back(std::move(everyone));
  const auto dropFile = [&](std::uint32_t index) { files[index].reset(); };

  for (std::int64_t offset = 0; offset < size && !classes.empty(); offset += piece) {
    if (stop()) {
      outcome.stopped = true;
      return outcome;
    }
    const std::size_t length =
        static_cast<std::size_t>(std::min<std::int64_t>(piece, size - offset));
    std::vector<Class> refined;
    for (Class& members : classes) {
      // Read this piece of every member; one that ends early or fails leaves.
      Class read;
      for (const std::uint32_t index : members) {
        int error = 0;
        if (ReadWhole(*files[index], pieceOf(index), length, offset, error)) {
          read.push_back(index);
          continue;
        }
        if (error != 0) {
          outcome.unreadable.push_back({index, error});
        } else {
          outcome.changed.push_back(index);
        }
        dropFile(index);
      }
      // Members with equal pieces stay together, in their order.
      std::vector<Class> split;
      for (const std::uint32_t index : read) {
        const auto same = std::find_if(split.begin(), split.end(), [&](const Class& known) {
          return std::memcmp(pieceOf(known.front()), pieceOf(index), length) == 0;
        });
        if (same == split.end()) {
          split.push_back({index});
        } else {
          same->push_back(index);
        }
      }
      for (Class& part : split) {
        if (part.size() >= 2) {
          refined.push_back(std::move(part));
        } else {
          dropFile(part.front());
        }
      }
    }
    classes = std::move(refined);
  }

  // The bytes count only if the file did not change while they were read.
  for (Class& members : classes) {
    Class unchanged;
    for (const std::uint32_t index : members) {
      if (files[index]->UnchangedSinceOpen()) {
        unchanged.push_back(index);
      } else {
        outcome.changed.push_back(index);
      }
    }
    if (unchanged.size() < 2) continue;
    for (const std::uint32_t index : unchanged) outcome.sameAs[index] = unchanged.front();
  }
  return outcome;
}

}  // namespace tarnwick
