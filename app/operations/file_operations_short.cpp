// Open, locate, view and copy paths: short operations, never refused while a long one
// runs.

#include <QPushButton>

#include "app/controls/control_captions.h"
#include "app/list/path_mime_data.h"
#include "app/operations/file_operations.h"
#include "platform/desktop/clipboard.h"

namespace tarnwick {

void FileOperations::LaunchSelected(bool locate) {
  QPushButton* button = Button(locate ? "按钮定位" : "按钮打开");
  const std::vector<SelectedRow> rows = SelectionSnapshot();
  if (rows.empty()) {
    services_.ShowMessage(locate ? tr("请先选择要定位到目录的文件！")
                                 : tr("请先选择要打开的文件！"));
    return;
  }
  const int count = static_cast<int>(rows.size());
  const QString question =
      locate ? tr("当前选择了 %n 个文件，确定要将它们都定位到目录吗？", nullptr, count)
             : tr("当前选择了 %n 个文件，确定要将它们都打开吗？", nullptr, count);
  if (count > 1 &&
      services_.ShowMessage(question, QMessageBox::Ok | QMessageBox::Cancel) != QMessageBox::Ok) {
    return;
  }

  button->setText(locate ? tr("定位中") : tr("打开中"));
  for (const SelectedRow& row : rows) {
    services_.ProcessPendingEvents();
    if (locate) {
      platform_.locate(row.path);
      services_.PumpWait(500);
    } else {
      platform_.open(row.path);
      services_.PumpWait(100);
    }
  }
  button->setText(ControlCaption(locate ? "定位" : "打开"));
}

void FileOperations::ViewFirstSelected() {
  if (!viewer_) viewer_ = new ViewerWindow(services_.MainWidget());
  viewer_->show();
  viewer_->raise();
  viewer_->activateWindow();
  ShowFirstSelected();
}

void FileOperations::RefreshViewer() {
  if (viewer_ && viewer_->isVisible()) ShowFirstSelected();
}

void FileOperations::ShowFirstSelected() {
  const std::vector<std::size_t> indexes = SelectedIndexes();
  if (indexes.empty()) return;
  viewer_->ShowFile(services_.List().FullPath(indexes.front()),
                    services_.Options().IsChecked(Check::GuessEncodings));
}

void FileOperations::QueueViewerRefresh() {
  // A click also moves the current row: both ask, the file is loaded once.
  if (refreshQueued_ || !viewer_ || !viewer_->isVisible()) return;
  refreshQueued_ = true;
  QMetaObject::invokeMethod(
      this,
      [this] {
        refreshQueued_ = false;
        RefreshViewer();
      },
      Qt::QueuedConnection);
}

void FileOperations::CopySelectedPaths() {
  QPushButton* button = Button("按钮复制路径");
  const std::vector<SelectedRow> rows = SelectionSnapshot();
  button->setText(tr("复制中"));
  std::vector<std::string> paths;
  for (const SelectedRow& row : rows) {
    paths.push_back(row.path);
    services_.ProcessPendingEvents();
  }
  SetClipboardData(NewPathMimeData(paths));
  button->setText(tr("复制完成"));
  services_.PumpWait(1000);
  button->setText(ControlCaption("复制路径"));
}

}  // namespace tarnwick
