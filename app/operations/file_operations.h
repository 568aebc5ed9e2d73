#pragma once
// The operations on the files selected in 列表框: delete (for good, or to the trash with
// Ctrl held), move and copy into a folder, open, locate in the file manager, view one
// file, and copy the paths to the clipboard. Delete, move and copy are long operations:
// they share the stop flag with the filter job, turn their button into its stop button
// and report their progress in 进度条 and 进度提示. Every operation reads the selection
// once, when it starts.

#include <QObject>
#include <QPointer>
#include <QString>
#include <optional>
#include <string>
#include <vector>

#include "app/dialogs/viewer_window.h"
#include "app/operations/file_operations_platform.h"
#include "app/window/app_services.h"
#include "results/file_operations.h"

class QLabel;
class QProgressBar;
class QPushButton;

namespace tarnwick {

class FileOperations final : public QObject {
  Q_OBJECT

 public:
  // Connects the buttons 删除 移动 复制 打开 定位 查看 复制路径, the list's double-click,
  // right-click, click and current-row change, and the keys of file managers while the
  // list has the focus: Delete, Shift+Delete, Enter and Ctrl+C. Owned by the main window.
  FileOperations(AppServices& services, FileOperationsPlatform platform);

  // 按钮删除: to the trash while Ctrl is held, else for good.
  void DeleteSelected() { DeleteRows(std::nullopt); }
  // The Delete key sends the files to the trash, Shift+Delete deletes them for good.
  void DeleteSelectedToTrash() { DeleteRows(true); }
  void DeleteSelectedForGood() { DeleteRows(false); }
  void MoveSelected() { TransferSelected(TransferRun::Kind::Move); }
  void CopySelected() { TransferSelected(TransferRun::Kind::Copy); }
  void OpenSelected() { LaunchSelected(false); }
  void LocateSelected() { LaunchSelected(true); }
  void ViewFirstSelected();
  // Shows the first selected file again when the viewer is open.
  void RefreshViewer();
  void CopySelectedPaths();

  // The viewer window, or nullptr until it is first opened.
  ViewerWindow* Viewer() const { return viewer_; }

  // The button of the delete, move or copy that is running its loop, else nullptr.
  QPushButton* RunningButton() const { return running_; }

 private:
  struct SelectedRow {
    std::size_t index;
    std::string path;
  };

  // The list indexes of the selected rows, in the order the list shows them.
  std::vector<std::size_t> SelectedIndexes() const;
  // The same, with the paths the rows hold now.
  std::vector<SelectedRow> SelectionSnapshot() const;
  // True while the row still holds the file it held when the operation started; the list
  // may be refilled by a drop in the middle of an operation, and a row that now names
  // another file must not be acted on.
  bool StillListed(const SelectedRow& row) const;
  // A press of a running operation's own button asks it to stop after the file in hand:
  // true when `button` is that button.
  bool RequestStopIfRunning(QPushButton* button);
  // The loop of a long operation starts: `button` becomes its stop button.
  void BeginRun(QPushButton* button, int total);
  // The loop has ended: the summary shows, the button takes its idle caption (a source
  // of ControlCaption) again.
  void EndRun(const char* idleCaption, const QString& summary);
  // `toTrash` unset: asks the keyboard whether Ctrl is held.
  void DeleteRows(std::optional<bool> toTrash);
  void TransferSelected(TransferRun::Kind kind);
  void LaunchSelected(bool locate);
  void BeginProgress(int total);
  void ShowProgress(int position, const QString& text);
  void EndProgress(const QString& summary);
  void ShowFirstSelected();
  void QueueViewerRefresh();
  QPushButton* Button(const char* name) const;

  AppServices& services_;
  FileOperationsPlatform platform_;
  QProgressBar* progressBar_;
  QLabel* progressText_;
  QPointer<ViewerWindow> viewer_;
  QPushButton* running_ = nullptr;
  bool refreshQueued_ = false;
};

// AttachFileOperations with the given platform; returns the operations, owned by the
// main window.
FileOperations* AttachFileOperations(AppServices& services, FileOperationsPlatform platform);

}  // namespace tarnwick
