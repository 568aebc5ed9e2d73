#pragma once
// A window with every control of the main window, the result list and the file
// operations attached, where a scripted user answers the message boxes and the folder
// chooser, holds Ctrl or not, and sees what would be opened, located or trashed. It owns
// a temporary folder for the files it lists.

#include <QPushButton>
#include <QStringList>
#include <QTableView>
#include <QTemporaryDir>
#include <QWidget>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/operations/file_operations.h"
#include "app/window/app_services.h"
#include "app/window/event_pump.h"
#include "tests/app/recorded_message.h"

namespace tarnwick {
class ResultModel;
class WindowOptions;
}  // namespace tarnwick

namespace tarnwick::testing {

class OperationsHost final : public QWidget, public AppServices {
 public:
  OperationsHost();
  ~OperationsHost() override;

  // The scripted user.
  QStringList messages;          // every message shown, in order
  QList<RecordedMessage> boxes;  // the same messages with their buttons, title and icon
  QMessageBox::StandardButton answer = QMessageBox::Ok;
  QString folderToChoose;  // "" cancels the chooser
  // The answers to "replace the file in the destination?", in order; once they are
  // used up the user says replace. Each question asked, in order.
  std::deque<ReplaceAnswer> replaceAnswers;
  QStringList replaceQuestions;
  QStringList initialFolders;  // where each chooser started
  QStringList prompts;         // each chooser's prompt
  bool ctrlHeld = false;
  std::vector<std::string> opened, located;
  // Runs on every handling of events inside an operation: the moment a click or a drop
  // would arrive.
  std::function<void()> whileRunning;
  // Runs while an operation waits to show a transient caption.
  std::function<void()> whileWaiting;
  // In place of the trash; unset means the user's trash ($XDG_DATA_HOME).
  std::function<bool(const std::string&)> trash;

  // A path inside the host's temporary folder.
  std::string Path(const std::string& relative) const;
  // Writes the file (and its folders) and lists it.
  void Add(const std::string& relative, const std::string& bytes);
  // Lists `count` new files a/file<i>.txt holding "content <i>".
  void AddFiles(int count);
  void AddRow(const std::string& path);
  void SelectRows(std::initializer_list<int> rows);
  FileOperations& Operations() { return *operations_; }
  QPushButton* Button(const char* name) const;
  QString ProgressText() const;
  std::vector<std::string> Paths() const;
  // True while the button's operation runs its own loop (not while it asks about Ctrl).
  bool Running(const char* button) const;

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
  ReplaceAnswer AskReplace(const QString& text) override;
  void ProcessPendingEvents() override;
  void PumpWait(int ms) override;

 private:
  QTemporaryDir dir_;
  ResultList list_;
  StopFlag stop_;
  std::unique_ptr<ResultModel> model_;
  QTableView* view_ = nullptr;
  std::unique_ptr<WindowOptions> options_;
  // As in the main window: events handled at most every few tens of milliseconds.
  EventPump pump_;
  FileOperations* operations_ = nullptr;
};

// Writes `bytes` to `path`, creating its folders.
void WriteFile(const std::string& path, const std::string& bytes);
std::string ReadFile(const std::string& path);
bool Exists(const std::string& path);

}  // namespace tarnwick::testing
