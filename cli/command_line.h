#pragma once
// The command line of tarnwick-cli: what to do (a filter job, an encoding report or a
// settings save), how to print, and the option flags as edits to apply to the options
// once they have been restored from the settings file.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "engine/filter_job.h"
#include "engine/job/job_settings.h"
#include "engine/job/option_controls.h"

namespace tarnwick::cli {

enum class OutputFormat {
  Paths,  // one full path per record
  Rows,   // the five column texts of the list, joined by TAB
  Json,   // one JSON object per row (see json_row.h)
};

using OptionEdit = std::function<void(OptionControls&)>;

struct CommandLine {
  std::string folder;                      // FOLDER; empty when not given
  std::vector<std::string> encodingFiles;  // --encoding FILE...
  bool encodingReport = false;             // --encoding was given
  bool guessEncodings = false;             // --guess-encodings (the report honours it too)
  std::string settingsFile;                // --settings FILE; empty when not given
  bool saveSettings = false;               // --save-settings
  Lister lister = Lister::FindFile;
  OutputFormat format = OutputFormat::Paths;
  bool print0 = false;         // end each record with NUL instead of LF
  bool quiet = false;          // nothing on standard error but errors
  bool nameMaskGiven = false;  // --mask: an option the settings file does not keep
  bool noCache = false;        // --no-cache: read files without the digest cache
  bool cacheInfo = false;      // --cache-info
  bool clearCache = false;     // --clear-cache
  // --threads (0, the default: one per core), --exclude, --one-file-system, --read-depth;
  // the digest cache is the job's to open.
  JobSettings job{.threads = 0,
                  .excludes = {},
                  .oneFileSystem = false,
                  .digestCache = nullptr,
                  .reads = {}};
  // The option flags, in a fixed order; each sets the controls one flag names.
  std::vector<OptionEdit> edits;
};

// Parses the arguments into `out`. Returns nullopt when the program should go on, or
// the exit status to end with at once: 0 after --help, 2 after a usage error (whose
// message has been written to standard error).
std::optional<int> ParseCommandLine(int argc, char** argv, CommandLine& out);

// Applies every option flag of `line` to `options`, in order.
void ApplyOptionFlags(const CommandLine& line, OptionControls& options);

}  // namespace tarnwick::cli
