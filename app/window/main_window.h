#pragma once
// The main window "Tarnwick v1.0": every control by its object name, the events that
// run the filter job and the list actions, the restore sequence at creation and the
// save on close.

#include <QWidget>
#include <memory>
#include <string>

#include "app/window/app_services.h"
#include "app/window/event_pump.h"
#include "app/window/window_platform.h"
#include "engine/job/job_host.h"

class QDropEvent;
class QStatusBar;
class QTableView;
class QTimer;

namespace tarnwick {

class JobController;
class ResultModel;
class WindowLayout;
class WindowOptions;
class WindowSettings;

class MainWindow final : public QWidget, public AppServices {
  Q_OBJECT

 public:
  // Builds the window and restores the options from the settings file `settingsPath`.
  MainWindow(const std::string& settingsPath, WindowPlatform platform, QWidget* parent = nullptr);
  ~MainWindow() override;

  // A close request that comes from the session ending (SIGTERM): any message box or
  // dialog still open is closed as by its close button (a question then gets its Cancel,
  // so nothing it asked about is done), and the options are saved as on any close; a
  // failed save is not reported, since nobody is there to answer.
  void CloseForTermination();

  // The host the window runs its filter jobs with: the engine keeps the window live and
  // tells it the job's status and progress through it.
  JobHost& FilterJobHost();

  // AppServices
  QWidget* MainWidget() override { return this; }
  ResultList& List() override { return list_; }
  QTableView* ListView() override { return view_; }
  StopFlag& Stop() override { return stop_; }
  OptionControls& Options() override;
  bool BusyCheck() override;
  QMessageBox::StandardButton ShowMessage(const QString& text, QMessageBox::StandardButtons buttons,
                                          const QString& title, QMessageBox::Icon icon) override;
  QString ChooseFolder(const QString& initialFolder, const QString& prompt) override;
  ReplaceAnswer AskReplace(const QString& text) override { return platform_.askReplace(text); }
  void ProcessPendingEvents() override { pump_.Pump(); }
  void PumpWait(int ms) override;

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void ConnectEvents();
  void RestoreOptions();
  void SaveOnRequest();
  // The session manager asks programs to save before the session ends (logout); the
  // logout may still be cancelled, so the window stays open.
  void SaveForSessionEnd();
  void DropFiles(const std::vector<std::string>& paths);
  bool TakesDrop(const QDropEvent& event) const;

  WindowPlatform platform_;
  ResultList list_;
  StopFlag stop_;
  std::unique_ptr<ResultModel> model_;
  EventPump pump_;
  QTableView* view_ = nullptr;
  QStatusBar* statusBar_ = nullptr;
  QTimer* statusTimer_ = nullptr;
  std::unique_ptr<WindowOptions> options_;
  std::unique_ptr<WindowSettings> settings_;
  std::unique_ptr<JobController> job_;
  std::unique_ptr<WindowLayout> layout_;
  bool reportSaveFailure_ = true;
  bool shownBefore_ = false;
};

}  // namespace tarnwick
