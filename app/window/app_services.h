#pragma once
// What the main window offers to the operations that work on the result list (delete,
// move, copy, open, locate, view, copy path). They find their buttons by object name
// under MainWidget() and connect to ListView()'s signals themselves.

#include <QCoreApplication>
#include <QMessageBox>
#include <QString>

#include "app/dialogs/replace_question.h"
#include "engine/job/option_controls.h"
#include "engine/job/stop_flag.h"
#include "results/result_list.h"

class QTableView;
class QWidget;

namespace tarnwick {

// The title of the program's message boxes: "Brellin：" in the window's language.
inline QString MessageTitle() { return QCoreApplication::translate("Messages", "Brellin："); }

// The message for a folder the chooser answered with whose bytes on disk cannot be told
// (FolderOnDisk): two names there differ only in bytes the dialog cannot show.
inline QString UndeterminedFolderText(const QString& chosen) {
  return QCoreApplication::translate("Messages", "无法确定所选的目录：%1").arg(chosen);
}

class AppServices {
 public:
  virtual ~AppServices() = default;

  // The main window; every control is a descendant with its Chinese object name.
  virtual QWidget* MainWidget() = 0;
  // The rows of 列表框 and the view that shows them. Changes made to the list appear in
  // the view at the next ProcessPendingEvents() or return to the event loop.
  virtual ResultList& List() = 0;
  virtual QTableView* ListView() = 0;
  // The one stop flag shared by the filter job and the long file operations.
  virtual StopFlag& Stop() = 0;
  // The live options; MoveFolder and CopyFolder are Field::MoveFolder / CopyFolder
  // (the tags of 按钮移动 and 按钮复制, saved with the settings).
  virtual OptionControls& Options() = 0;

  // True, after telling the user, when a long operation already runs.
  virtual bool BusyCheck() = 0;
  // Application-modal message box; returns the button pressed.
  virtual QMessageBox::StandardButton ShowMessage(
      const QString& text, QMessageBox::StandardButtons buttons = QMessageBox::Ok,
      const QString& title = MessageTitle(), QMessageBox::Icon icon = QMessageBox::Information) = 0;
  // The folder browser; "" when the user cancels. An empty prompt means "请选择一个文件夹".
  virtual QString ChooseFolder(const QString& initialFolder, const QString& prompt = {}) = 0;
  // Asks whether a move or copy replaces a file already in the destination that the
  // user did not pick (ReplaceQuestionText gives `text`).
  virtual ReplaceAnswer AskReplace(const QString& text) = 0;
  // Handles pending window events, at most every few tens of milliseconds, so it may be
  // called once per file of a long loop.
  virtual void ProcessPendingEvents() = 0;
  // Waits `ms` milliseconds in 10 ms steps, handling window events between the steps.
  virtual void PumpWait(int ms) = 0;
};

// Connects the file operations' buttons and the list's click events. Called once when
// the main window has been built.
void AttachFileOperations(AppServices& services);

}  // namespace tarnwick
