#pragma once
// One filter job over a folder: empties the list and the duplicate groups, walks the
// folder as the scope options say, runs every file through the filters and, when the
// duplicate filter is on, lists the duplicates after the walk (also after a stop).
// The caller owns the button captions, the folder chooser, BusyCheck and the summary.

#include <cstdint>
#include <string>

#include "engine/job/job_host.h"
#include "engine/job/job_settings.h"
#include "engine/job/option_controls.h"
#include "engine/job/stop_flag.h"
#include "results/result_list.h"

namespace tarnwick {

// Which directory lister the job uses for every folder of its walk.
enum class Lister {
  FindFile,          // left click: one listing per "|"-separated pattern
  FileSystemObject,  // right button: one listing filtered by a FileMask
};

// Runs the job. Clears `stop` at the start; leaves it as the walk left it (set when
// the user stopped). `root` is the chosen folder; rows go to `list`. `options` are read
// on the calling thread only, also when `settings` asks for several threads.
void RunFilterJob(const std::string& root, Lister lister, const OptionControls& options,
                  ResultList& list, JobHost& host, StopFlag& stop,
                  const JobSettings& settings = {});

// "筛选完毕！共筛选出 " + n + " 个文件，耗时 " + FormatElapsed(ms) + "。请单击按钮操作列表！"
std::string SummaryText(std::size_t rowCount, std::int64_t elapsedMs);

// Milliseconds as the status line shows them: «1.23 秒», «999 毫秒», «1.04 天».
std::string FormatElapsed(std::int64_t ms);

}  // namespace tarnwick
