#pragma once
// Running filter jobs in tests: a host that counts and can react to pending-event
// calls, and a job runner that gives the listed paths relative to the tree's root.

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "engine/filter_job.h"
#include "engine/job/filter_options.h"
#include "engine/job/job_host.h"
#include "engine/job/stop_flag.h"
#include "results/result_list.h"

namespace tarnwick::test {

class RecordingHost final : public JobHost {
 public:
  void ProcessPendingEvents() override {
    ++pendingEventCalls;
    if (onPendingEvents) onPendingEvents();
  }
  void SetStatusText(const std::string& text) override {
    statusTexts.push_back(text);
    rowsAtStatus.push_back(list ? list->Count() : 0);
  }
  void RefreshStatus() override { ++refreshes; }
  void ReportRejectedPattern(const std::string& problem) override {
    rejectedPatterns.push_back(problem);
  }
  void ReportChanged(const std::string& path) override { changed.push_back(path); }
  void FileExamined() override { ++examined; }
  void ShowDuplicateProgress(DuplicateStage stage, std::uint64_t done, std::uint64_t total,
                             ProgressUnit unit) override {
    progress.push_back({stage, done, total, unit});
  }

  std::function<void()> onPendingEvents;
  const ResultList* list = nullptr;  // when set, its row count is noted with each status
  std::vector<std::string> statusTexts;
  std::vector<std::size_t> rowsAtStatus;
  std::vector<std::string> rejectedPatterns;
  std::vector<std::string> changed;  // files the duplicate filter found changed
  struct Progress {
    DuplicateStage stage;
    std::uint64_t done, total;
    ProgressUnit unit;
  };
  std::vector<Progress> progress;  // the duplicate stages' reports, in order
  int pendingEventCalls = 0;
  int refreshes = 0;
  int examined = 0;
};

// The job's rows as paths with the root and its "/" removed.
inline std::vector<std::string> RelativePaths(const ResultList& list, const std::string& root) {
  std::vector<std::string> paths;
  for (std::size_t i = 0; i < list.Count(); ++i) {
    std::string path = list.FullPath(i);
    if (path.starts_with(root + "/")) path.erase(0, root.size() + 1);
    paths.push_back(path);
  }
  return paths;
}

struct JobRun {
  ResultList list;
  RecordingHost host;
  StopFlag stop;

  std::vector<std::string> Run(const std::string& root, const FilterOptions& options,
                               Lister lister = Lister::FindFile, const JobSettings& settings = {}) {
    host.list = &list;
    RunFilterJob(root, lister, options, list, host, stop, settings);
    return RelativePaths(list, root);
  }
};

// Options with the given boxes ticked (radio groups switch over) and texts filled in.
inline FilterOptions Ticked(std::initializer_list<Check> checks,
                            std::initializer_list<std::pair<Field, std::string>> texts = {}) {
  FilterOptions options;
  for (const Check check : checks) options.SetChecked(check, true);
  for (const auto& [field, text] : texts) options.SetText(field, text);
  return options;
}

// Options with every filter off and the whole tree in scope.
inline FilterOptions TreeOptions() {
  FilterOptions options;
  options.SetChecked(Check::ScopeTree, true);
  return options;
}

}  // namespace tarnwick::test
