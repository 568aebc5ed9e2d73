#include "cli/cache_command.h"

#include <unistd.h>

#include <string>

#include "cli/messages.h"
#include "cli/output_writer.h"
#include "platform/file_system_kind.h"

namespace tarnwick::cli {
namespace {

std::string Because(const std::string& detail) { return detail.empty() ? "" : " (" + detail + ")"; }

}  // namespace

void ReportCacheNotice(const CacheNotice& notice) {
  const std::string cache = "digest cache " + notice.path;
  const std::string without = "; files are read without it";
  switch (notice.problem) {
    case CacheProblem::Unavailable:
      return ReportError(cache + " cannot be used" + Because(notice.detail) + without);
    case CacheProblem::ReadOnly:
      return ReportError(cache + " cannot be written" + Because(notice.detail) + without);
    case CacheProblem::Locked:
      return ReportError(cache + " is locked by another program" + without);
    case CacheProblem::Damaged:
      return ReportError(cache + " was damaged" + Because(notice.detail) + " and is started anew");
    case CacheProblem::OtherVersion:
      return ReportError(cache + " was made by another version and is started anew");
    case CacheProblem::WriteFailed:
      return ReportError(cache + " could not be written" + Because(notice.detail) +
                         "; not used for the rest of this job");
  }
}

int RunCacheCommand(bool info, bool clear) {
  DigestCache cache(DefaultDigestCachePath());
  bool usable = cache.InUse();
  if (clear && usable) usable = cache.Clear();
  if (info) {
    const DigestCache::Info described = cache.Describe();
    OutputWriter out(STDOUT_FILENO);
    out.Write("path: " + cache.Path() + "\n");
    out.Write("entries: " + std::to_string(described.entries) + "\n");
    out.Write("size: " + std::to_string(described.bytes) + " bytes\n");
    out.Write("used on: " + platform::TrustworthyStampFileSystems() + "\n");
    std::string passedBy;
    for (const std::string& kind : described.passedBy)
      passedBy += (passedBy.empty() ? "" : ", ") + kind;
    out.Write("passed by: " + (passedBy.empty() ? std::string("none so far") : passedBy) +
              " (files there are read on every run)\n");
    if (!out.Flush()) return 1;
  }
  if (const std::optional<CacheNotice> notice = cache.TakeNotice()) ReportCacheNotice(*notice);
  return usable ? 0 : 1;
}

}  // namespace tarnwick::cli
