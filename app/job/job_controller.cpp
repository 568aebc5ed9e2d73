#include "app/job/job_controller.h"

#include <QCoreApplication>
#include <QDir>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTableView>

#include "app/controls/control_captions.h"
#include "app/controls/control_roster.h"
#include "app/controls/group_states.h"
#include "app/job/job_texts.h"
#include "app/job/pattern_error_text.h"
#include "app/list/path_display_text.h"
#include "app/list/result_model.h"
#include "app/window/app_services.h"
#include "app/window/event_pump.h"
#include "app/window/window_platform.h"
#include "engine/filters/content_pattern_check.h"
#include "platform/desktop/folder_chooser.h"

namespace tarnwick {
namespace {

constexpr auto kScrollInterval = std::chrono::milliseconds(100);

}  // namespace

JobController::JobController(const Parts& parts)
    : parts_(parts),
      startButton_(parts.window->findChild<QPushButton*>(QString::fromUtf8(control::kStartButton))),
      progressBar_(
          parts.window->findChild<QProgressBar*>(QString::fromUtf8(control::kProgressBar))),
      progressText_(parts.window->findChild<QLabel*>(QString::fromUtf8(control::kProgressText))),
      counts_(new QLabel(parts.statusBar)) {
  counts_->setObjectName(QString::fromUtf8(control::kCountLabel));
  parts.statusBar->addPermanentWidget(counts_);
}

void JobController::OnStartButton(Lister lister) {
  if (running_) {
    startButton_->setText(ControlCaption(kStartCaptionStopping));
    parts_.stop->Set();
    return;
  }
  if (BusyCheck()) return;
  if (const auto problem = ContentPatternProblem(*parts_.options)) {
    parts_.platform->showMessage(
        QCoreApplication::translate("FilterJob", "筛选内容无法编译：") + PatternErrorText(*problem),
        QMessageBox::Ok, MessageTitle(), QMessageBox::Warning);
    return;
  }

  // Before any folder was chosen the chooser starts at home, not wherever the program
  // happened to be started from.
  const std::string remembered = parts_.options->Text(Field::FilterFolder);
  const QString initial = remembered.empty() ? QDir::homePath() : DialogStartFolder(remembered);
  const QString folder = parts_.platform->chooseFolder(
      initial, QCoreApplication::translate(
                   "FilterJob",
                   "选择一个目录，确定后将根据设置，扫描该目录中符合条件的文件，输出到右侧列表："));
  if (folder.isEmpty()) return;
  const std::optional<std::string> onDisk = FolderOnDisk(folder);
  if (!onDisk) {
    parts_.platform->showMessage(UndeterminedFolderText(folder), QMessageBox::Ok, MessageTitle(),
                                 QMessageBox::Warning);
    return;
  }
  const std::string& root = *onDisk;

  startTime_ = std::chrono::steady_clock::now();
  changedFiles_ = 0;
  firstChanged_.clear();
  // What the last file operation said no longer holds once the list starts over.
  examined_ = 0;
  stageProgress_.reset();
  progressText_->clear();
  progressBar_->setValue(0);
  undecided_ = 0;
  firstUndecided_.clear();
  rejectedPattern_.clear();
  RefreshStatus();
  parts_.options->SetText(Field::FilterFolder, root);
  startButton_->setText(ControlCaption(kStartCaptionRunning));
  running_ = true;
  parts_.stop->Clear();
  ApplyGroupStates(parts_.window, true);

  // The window runs the job as the command line does, one worker per core (at least
  // one, so that this thread only waits and handles events); the options are read here,
  // on the window's thread, and copied for the workers. Only MD5 keys are worth keeping
  // between jobs.
  const bool readsMd5 = parts_.options->IsChecked(Check::DuplicateFilter) &&
                        parts_.options->IsChecked(Check::DupByMd5);
  if (readsMd5 && !digestCache_)
    digestCache_ = std::make_unique<DigestCache>(DefaultDigestCachePath());
  JobSettings settings;
  settings.threads = 0;
  settings.workOffJobThread = true;
  settings.digestCache = readsMd5 ? digestCache_.get() : nullptr;
  RunFilterJob(root, lister, *parts_.options, *parts_.list, *this, *parts_.stop, settings);

  parts_.model->Flush();  // every row in its place, also in a sorted list
  ShowNewestRow();
  QString summary = SummaryLine(parts_.list->Count(), ElapsedMs());
  // A problem of the cache is told once, after the summary of the job that met it.
  if (const std::optional<CacheNotice> notice =
          digestCache_ ? digestCache_->TakeNotice() : std::nullopt) {
    summary += QStringLiteral("  ") + CacheNoticeText(*notice);
  }
  if (undecided_ > 0)
    summary += QStringLiteral("  ") + UndecidedText(undecided_, PathDisplayText(firstUndecided_));
  if (changedFiles_ > 0)
    summary += QStringLiteral("  ") + ChangedFilesText(changedFiles_, firstChanged_);
  parts_.statusBar->showMessage(summary);
  stageProgress_.reset();
  ShowProgress();
  startButton_->setText(ControlCaption(kStartCaptionIdle));
  running_ = false;
  ApplyGroupStates(parts_.window, false);
  parts_.stop->Set();
  if (!rejectedPattern_.empty()) {
    parts_.platform->showMessage(
        QCoreApplication::translate(
            "FilterJob",
            "筛选中修改的筛选内容无法编译：%1\n本次筛选一直使用最后一个可以编译的筛选内容。")
            .arg(QString::fromUtf8(rejectedPattern_.data(),
                                   static_cast<qsizetype>(rejectedPattern_.size()))),
        QMessageBox::Ok, MessageTitle(), QMessageBox::Warning);
  }
}

void JobController::RefreshStatus() { ShowStatus(false); }

void JobController::RefreshStatusNow() { ShowStatus(true); }

void JobController::ShowStatus(bool everything) {
  if (!running_) return;
  const QString elapsed = ElapsedText(ElapsedMs());
  // The walk refreshes on entry to every folder; laying out the new rows and the texts
  // beside the status line costs time in the number of rows, so they follow at most
  // every kScrollInterval.
  const auto now = std::chrono::steady_clock::now();
  if (everything || now - lastScroll_ >= kScrollInterval) {
    lastScroll_ = now;
    ShowNewestRow();
    ShowProgress();
  }
  parts_.statusBar->showMessage(QStringLiteral("(") + elapsed + QStringLiteral(") ") + statusText_);
}

void JobController::ShowProgress() {
  counts_->setText(CountsText(examined_, parts_.list->Count()));
  if (!stageProgress_) {
    progressText_->clear();
    progressBar_->setValue(0);
    return;
  }
  const StageProgress& progress = *stageProgress_;
  constexpr int kSteps = 1000;
  progressBar_->setRange(0, kSteps);
  progressBar_->setValue(
      static_cast<int>(static_cast<double>(progress.done) * kSteps /
                       static_cast<double>(std::max<std::uint64_t>(progress.total, 1))));
  progressText_->setText(
      DuplicateProgressText(progress.stage, progress.done, progress.total, progress.unit));
}

void JobController::ShowDuplicateProgress(DuplicateStage stage, std::uint64_t done,
                                          std::uint64_t total, ProgressUnit unit) {
  stageProgress_ = StageProgress{stage, std::min(done, total), total, unit};
}

void JobController::ShowNewestRow() {
  // Rows appended since the last events were handled are announced first, or the view
  // would rest on a row that is no longer the newest; scrollToBottom lays the new rows
  // out before it moves, where scrolling to a row would stop at the old end. A sorted
  // list has no newest row at its end: the user's view stays where it is.
  if (parts_.model->Order()) {
    parts_.model->FlushSoon();
    return;
  }
  parts_.model->Flush();
  parts_.view->scrollToBottom();
}

bool JobController::BusyCheck() {
  if (parts_.stop->IsSet()) return false;
  parts_.platform->showMessage(
      QCoreApplication::translate("FilterJob", "在开始新操作之前请先停止正在执行的操作！"),
      QMessageBox::Ok, MessageTitle(), QMessageBox::Information);
  return true;
}

void JobController::ProcessPendingEvents() { parts_.pump->Pump(); }

void JobController::ReportRejectedPattern(const std::string& problem) {
  rejectedPattern_ = problem;
}

void JobController::ReportUndecided(const std::string& path) {
  if (undecided_++ == 0) firstUndecided_ = path;
}

void JobController::ReportChanged(const std::string& path) {
  if (changedFiles_++ == 0) firstChanged_ = path;
}

void JobController::SetStatusText(const std::string& text) {
  statusText_ = ActivityText(PathDisplayText(text));
}

std::int64_t JobController::ElapsedMs() const {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                               startTime_)
      .count();
}

}  // namespace tarnwick
