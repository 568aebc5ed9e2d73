#include "app/job/job_controller.h"

#include <QCoreApplication>
#include <QPushButton>
#include <QStatusBar>
#include <QTableView>

#include "app/controls/control_captions.h"
#include "app/controls/control_roster.h"
#include "app/controls/group_states.h"
#include "app/job/job_texts.h"
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
      startButton_(
          parts.window->findChild<QPushButton*>(QString::fromUtf8(control::kStartButton))) {}

void JobController::OnStartButton(Lister lister) {
  if (running_) {
    startButton_->setText(ControlCaption(kStartCaptionStopping));
    parts_.stop->Set();
    return;
  }
  if (BusyCheck()) return;
  if (const auto problem = ContentPatternProblem(*parts_.options)) {
    parts_.platform->showMessage(
        QCoreApplication::translate("FilterJob", "筛选内容无法编译：") +
            QString::fromUtf8(problem->data(), static_cast<qsizetype>(problem->size())),
        QMessageBox::Ok, MessageTitle(), QMessageBox::Warning);
    return;
  }

  const QString initial = DialogStartFolder(parts_.options->Text(Field::FilterFolder));
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

  ShowNewestRow();
  QString summary = SummaryLine(parts_.list->Count(), ElapsedMs());
  // A problem of the cache is told once, after the summary of the job that met it.
  if (const std::optional<CacheNotice> notice =
          digestCache_ ? digestCache_->TakeNotice() : std::nullopt) {
    summary += QStringLiteral("  ") + CacheNoticeText(*notice);
  }
  if (changedFiles_ > 0)
    summary += QStringLiteral("  ") + ChangedFilesText(changedFiles_, firstChanged_);
  parts_.statusBar->showMessage(summary);
  startButton_->setText(ControlCaption(kStartCaptionIdle));
  running_ = false;
  ApplyGroupStates(parts_.window, false);
  parts_.stop->Set();
}

void JobController::RefreshStatus() {
  if (!running_) return;
  const QString elapsed = ElapsedText(ElapsedMs());
  // The walk refreshes on entry to every folder; laying out the new rows costs time in
  // the number of rows, so the list follows at most every kScrollInterval.
  const auto now = std::chrono::steady_clock::now();
  if (now - lastScroll_ >= kScrollInterval) {
    lastScroll_ = now;
    ShowNewestRow();
  }
  parts_.statusBar->showMessage(QStringLiteral("(") + elapsed + QStringLiteral(") ") + statusText_);
}

void JobController::ShowNewestRow() {
  // Rows appended since the last events were handled are announced first, or the view
  // would rest on a row that is no longer the newest; scrollToBottom lays the new rows
  // out before it moves, where scrolling to a row would stop at the old end.
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
