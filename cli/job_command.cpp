#include "cli/job_command.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <optional>

#include "cli/cache_command.h"
#include "cli/interrupt.h"
#include "cli/messages.h"
#include "cli/output_writer.h"
#include "cli/row_printer.h"
#include "cli/terminal_host.h"
#include "engine/filters/content_pattern_check.h"
#include "engine/filter_job.h"
#include "engine/job/stop_flag.h"

namespace tarnwick::cli {
namespace {

// An empty text when `folder` can be walked, else what is wrong with it.
std::string FolderProblem(const std::string& folder) {
  struct stat info {};
  if (::stat(folder.c_str(), &info) != 0) {
    if (errno == ENOENT || errno == ENOTDIR) return "no such folder: " + folder;
    return "cannot use folder " + folder + ": " + std::strerror(errno);
  }
  if (!S_ISDIR(info.st_mode)) return "not a folder: " + folder;
  return "";
}

}  // namespace

int RunJobCommand(const CommandLine& line, const OptionControls& options) {
  const std::string problem = FolderProblem(line.folder);
  if (!problem.empty()) {
    ReportError(problem);
    return 2;
  }
  if (const auto pattern = ContentPatternProblem(options)) {
    ReportError("the content pattern does not compile: " + *pattern);
    return 2;
  }

  static StopFlag stop;
  InstallInterruptHandler(stop);

  OutputWriter out(STDOUT_FILENO);
  ResultList list;
  list.SetPathsOnly(line.format == OutputFormat::Paths);
  RowPrinter printer(list, out, line.format, line.print0);
  list.SetObserver(&printer);
  const TerminalHost::Settings show{.showProgress = !line.quiet && isatty(STDERR_FILENO) == 1,
                                    .liveOutput = isatty(STDOUT_FILENO) == 1,
                                    .nameUnreadable = !line.quiet};
  TerminalHost host(show, printer, out, stop);

  // Only MD5 keys are worth keeping between runs.
  std::optional<DigestCache> cache;
  if (!line.noCache && options.IsChecked(Check::DuplicateFilter) &&
      options.IsChecked(Check::DupByMd5)) {
    cache.emplace(DefaultDigestCachePath());
  }
  const auto reportCacheNotice = [&cache] {
    if (!cache) return;
    if (const std::optional<CacheNotice> notice = cache->TakeNotice()) ReportCacheNotice(*notice);
  };
  reportCacheNotice();
  JobSettings settings = line.job;
  settings.digestCache = cache ? &*cache : nullptr;
  RunFilterJob(line.folder, line.lister, options, list, host, stop, settings);

  const std::int64_t elapsed = host.ElapsedMs();
  host.ClearProgress();
  reportCacheNotice();
  if (!out.Flush()) {
    // The rows went nowhere: a summary counting them would claim what did not happen.
    ReportError(std::string("cannot write the results: ") + std::strerror(out.Error()));
    return WasInterrupted() ? 130 : 1;
  }
  if (!line.quiet) WriteLineToStderr(SummaryText(printer.Printed(), elapsed));
  if (WasInterrupted()) return 130;
  return host.UnreadableCount() == 0 && host.UndecidedCount() == 0 ? 0 : 1;
}

}  // namespace tarnwick::cli
