#pragma once
// The digest cache on the command line: --cache-info, --clear-cache, and the one line a
// job prints when the cache met a problem.

#include "cache/digest_cache.h"

namespace tarnwick::cli {

// --cache-info: prints the cache's path, entry count and size on standard output.
// --clear-cache: removes every entry. With both, clears first. Returns the exit status:
// 0, or 1 when the cache could not be read or emptied (the reason on standard error).
int RunCacheCommand(bool info, bool clear);

// Writes the notice as one line on standard error.
void ReportCacheNotice(const CacheNotice& notice);

}  // namespace tarnwick::cli
