#pragma once
// The window side of a filter job: the start/stop button, the status line with the count
// of files examined and listed beside it, the duplicate stages' progress in 进度条 and
// 进度提示, BusyCheck, and the host through which the engine keeps the window live.

#include <QString>
#include <chrono>
#include <memory>
#include <optional>

#include "cache/digest_cache.h"
#include "engine/filter_job.h"

class QLabel;
class QProgressBar;
class QPushButton;
class QStatusBar;
class QTableView;
class QWidget;

namespace tarnwick {

class EventPump;
class ResultModel;
struct WindowPlatform;

class JobController final : public JobHost {
 public:
  struct Parts {
    QWidget* window;
    OptionControls* options;
    ResultList* list;
    ResultModel* model;
    QTableView* view;
    QStatusBar* statusBar;
    StopFlag* stop;
    EventPump* pump;
    const WindowPlatform* platform;
  };

  explicit JobController(const Parts& parts);

  // A press of 按钮开始筛选: requests a stop while a job runs; otherwise, unless another
  // operation runs, asks for a folder and runs a whole job with `lister`, returning
  // when it has ended (the window stays live meanwhile).
  void OnStartButton(Lister lister);

  // The status line "(" + elapsed + ") " + activity; at most ten times a second also the
  // count beside it, the duplicate stage's progress and the list scrolled to its newest
  // row. Does nothing outside a job.
  void RefreshStatus() override;
  // The same, all of it whatever the time: the status timer's tick.
  void RefreshStatusNow();

  // True, after telling the user, when a long operation runs (the stop flag is clear).
  bool BusyCheck();

  // True from the folder's choice until the job has ended, also after a stop request.
  bool IsRunning() const { return running_; }

  void ProcessPendingEvents() override;
  void SetStatusText(const std::string& text) override;
  void ReportChanged(const std::string& path) override;
  void FileExamined() override { ++examined_; }
  void ShowDuplicateProgress(DuplicateStage stage, std::uint64_t done, std::uint64_t total,
                             ProgressUnit unit) override;
  // Counted, and named after the summary when the job ends.
  void ReportUndecided(const std::string& path) override;
  // Kept, and shown in a message box when the job ends.
  void ReportRejectedPattern(const std::string& problem) override;

 private:
  std::int64_t ElapsedMs() const;
  void ShowNewestRow();
  void ShowStatus(bool everything);
  // The count and the duplicate progress as they stand.
  void ShowProgress();

  Parts parts_;
  QPushButton* startButton_;
  QProgressBar* progressBar_;
  QLabel* progressText_;
  QLabel* counts_;  // 标签筛选计数, beside the status line
  std::chrono::steady_clock::time_point startTime_ = std::chrono::steady_clock::now();
  std::chrono::steady_clock::time_point lastScroll_{};
  QString statusText_;
  // Files the duplicate filter left out as changed during the job, and the first one.
  std::size_t changedFiles_ = 0;
  std::string firstChanged_;
  bool running_ = false;
  std::uint64_t examined_ = 0;
  struct StageProgress {
    DuplicateStage stage;
    std::uint64_t done, total;
    ProgressUnit unit;
  };
  std::optional<StageProgress> stageProgress_;
  std::size_t undecided_ = 0;  // files of the job not searched within the memory bound
  std::string firstUndecided_;
  std::string rejectedPattern_;  // why the last pattern set aside during the job failed
  // Opened by the first job that reads MD5 keys, kept for the window's life.
  std::unique_ptr<DigestCache> digestCache_;
};

}  // namespace tarnwick
