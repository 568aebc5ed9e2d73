#pragma once
// The reads of the key finder's stages, on whatever thread runs them. A reader is
// given files a folder at a time and keeps that folder open; it opens each file, checks
// that it is still the file the walk saw (same device and inode, size and times), reads
// what the stage asks for, checks that the file did not change while it was read, and
// tells whether what it read may be kept in the digest cache.

#include <cstdint>
#include <string_view>

#include "cache/known_digests.h"
#include "engine/duplicates/digest_read.h"
#include "engine/duplicates/key_stage.h"
#include "engine/duplicates/opened_folder.h"
#include "platform/read_only_file.h"

namespace tarnwick {

// One file to read for one stage: nothing the reader shares with the job's thread.
struct StageReadItem {
  std::uint32_t file;
  Stage stage;
  std::uint64_t print;  // of the stamp the walk saw
  std::string_view folder;
  const char* name;
};

struct StageReadResult {
  std::uint32_t file;
  Stage stage;
  ReadEnd end;
  int error;       // why the file could not be read (ReadEnd::Unreadable)
  bool cacheable;  // read from a file that had settled before it was read
  KnownDigests digests;
};

// The print of the stamp of an open file, to compare with the walk's.
std::uint64_t PrintOf(const platform::ReadOnlyFile& file);

class StageReader {
 public:
  StageReadResult Read(const StageReadItem& item, const StopRequest& stop);

 private:
  OpenedFolder folder_;
};

}  // namespace tarnwick
