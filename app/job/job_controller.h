#pragma once
// The window side of a filter job: the start/stop button, the status line, BusyCheck,
// and the host through which the engine keeps the window live.

#include <QString>
#include <chrono>
#include <memory>

#include "cache/digest_cache.h"
#include "engine/filter_job.h"

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

  // The status line "(" + elapsed + ") " + activity, and the list scrolled to its newest
  // row (at most ten times a second, and when the job ends). Does nothing outside a job.
  void RefreshStatus() override;

  // True, after telling the user, when a long operation runs (the stop flag is clear).
  bool BusyCheck();

  // True from the folder's choice until the job has ended, also after a stop request.
  bool IsRunning() const { return running_; }

  void ProcessPendingEvents() override;
  void SetStatusText(const std::string& text) override;
  void ReportChanged(const std::string& path) override;

 private:
  std::int64_t ElapsedMs() const;
  void ShowNewestRow();

  Parts parts_;
  QPushButton* startButton_;
  std::chrono::steady_clock::time_point startTime_ = std::chrono::steady_clock::now();
  std::chrono::steady_clock::time_point lastScroll_{};
  QString statusText_;
  // Files the duplicate filter left out as changed during the job, and the first one.
  std::size_t changedFiles_ = 0;
  std::string firstChanged_;
  bool running_ = false;
  // Opened by the first job that reads MD5 keys, kept for the window's life.
  std::unique_ptr<DigestCache> digestCache_;
};

}  // namespace tarnwick
