#pragma once
// The reads of the key finder's stages, on whatever thread runs them. A reader is
// given files a folder at a time and keeps that folder open; it opens each file, checks
// that it still has the size the walk grouped it by, reads what the stage asks for, and
// tells whether what it read may be kept in the digest cache.

#include <cstdint>
#include <string_view>

#include "cache/digest_cache.h"
#include "engine/duplicates/digest_read.h"
#include "engine/duplicates/key_stage.h"
#include "engine/duplicates/opened_folder.h"

namespace tarnwick {

// One file to read for one stage: nothing the reader shares with the job's thread.
struct StageReadItem {
  std::uint32_t file;
  Stage stage;
  std::int64_t size;    // as the walk saw it
  std::uint64_t print;  // of the stamp the walk saw (with a cache)
  std::string_view folder;
  const char* name;
};

struct StageReadResult {
  std::uint32_t file;
  Stage stage;
  ReadEnd end;
  int error;       // why the file could not be read (ReadEnd::Unreadable)
  bool cacheable;  // read whole from a file unchanged since the walk saw it
  KnownDigests digests;
};

class StageReader {
 public:
  // With `caching` the reader tells whether a read may be kept.
  explicit StageReader(bool caching) : caching_(caching) {}

  StageReadResult Read(const StageReadItem& item, const StopRequest& stop);

 private:
  const bool caching_;
  OpenedFolder folder_;
};

}  // namespace tarnwick
