// tarnwick-cli: one filter job on a folder without the window, the encoding of files,
// and the settings file shared with the window.

#include "cli/cache_command.h"
#include "cli/command_line.h"
#include "cli/encoding_command.h"
#include "cli/job_command.h"
#include "cli/messages.h"
#include "cli/settings_command.h"
#include "engine/job/filter_options.h"
#include "platform/heap_pages.h"
#include "settings/settings_store.h"

using namespace tarnwick;

int main(int argc, char** argv) {
  cli::CommandLine line;
  if (const auto status = cli::ParseCommandLine(argc, argv, line)) return *status;
  if (line.encodingReport) return cli::RunEncodingCommand(line.encodingFiles, line.guessEncodings);
  if (line.cacheInfo || line.clearCache)
    return cli::RunCacheCommand(line.cacheInfo, line.clearCache);

  platform::PreferHugePagesForHeap();
  FilterOptions options;
  SettingsStore store;
  if (!line.settingsFile.empty()) {
    const std::string problem =
        cli::RestoreSettings(store, line.settingsFile, line.saveSettings, options);
    if (!problem.empty()) {
      cli::ReportError(problem);
      return 2;
    }
  }
  cli::ApplyOptionFlags(line, options);

  if (line.saveSettings) {
    if (line.nameMaskGiven) {
      cli::ReportError(
          "note: --mask is not kept in the settings file (the window keeps no "
          "name mask there either)");
    }
    // The folder given with the save is the one a job would remember.
    if (!line.folder.empty()) options.SetText(Field::FilterFolder, line.folder);
    const std::string problem = cli::SaveSettingsFile(store, options);
    if (problem.empty()) return 0;
    cli::ReportError(problem);
    return 1;
  }
  return cli::RunJobCommand(line, options);
}
