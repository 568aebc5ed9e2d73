#pragma once
// How a job runs, beyond the window's options: the command line sets these; the window
// runs with the defaults but for the thread count and the digest cache.

#include <string>
#include <vector>

#include "engine/reads/read_settings.h"

namespace tarnwick {

class DigestCache;

struct JobSettings {
  // Threads for the per-file work: 0 means one per core, 1 runs every file on the
  // job's own thread. Rows and their order never depend on it.
  unsigned threads = 1;
  // The job's thread runs a window: the work on the files goes to a worker even with one
  // thread, so that the window stays live (and its stop button works) through a long
  // read. The rows are the same either way.
  bool workOffJobThread = false;
  // Glob patterns (fnmatch) matched against the names of files and folders; a folder
  // they match is not entered. Empty: nothing is left out.
  std::vector<std::string> excludes;
  // Do not enter folders on another file system than the chosen folder's.
  bool oneFileSystem = false;
  // What earlier jobs learned of files' content, for MD5 jobs; null: read every file
  // that needs it. Owned by the caller, which keeps it past the job.
  DigestCache* digestCache = nullptr;
  // How the files' content is read: reads kept in flight, and through what.
  ReadSettings reads;
};

}  // namespace tarnwick
