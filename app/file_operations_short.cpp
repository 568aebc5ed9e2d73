// Open, locate, view and copy paths: short operations, never refused while a long one
// runs.

#include <QPushButton>

#include "app/file_operations.h"
#include "app/path_mime_data.h"
#include "platform/desktop/clipboard.h"

namespace tarnwick {

void FileOperations::LaunchSelected(bool locate) {
  const QString verb = locate ? QStringLiteral("定位到目录") : QStringLiteral("打开");
  QPushButton* button = Button(locate ? "按钮定位" : "按钮打开");
  const std::vector<SelectedRow> rows = SelectionSnapshot();
  if (rows.empty()) {
    services_.ShowMessage(QStringLiteral("请先选择要") + verb + QStringLiteral("的文件！"));
    return;
  }
  if (rows.size() > 1 &&
      services_.ShowMessage(QStringLiteral("当前选择了 ") + QString::number(rows.size()) +
                                QStringLiteral(" 个文件，确定要将它们都") + verb +
                                QStringLiteral("吗？"),
                            QMessageBox::Ok | QMessageBox::Cancel) != QMessageBox::Ok) {
    return;
  }

  button->setText(locate ? QStringLiteral("定位中") : QStringLiteral("打开中"));
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
  button->setText(locate ? QStringLiteral("定位") : QStringLiteral("打开"));
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
  viewer_->ShowFile(services_.List().FullPath(indexes.front()));
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
  button->setText(QStringLiteral("复制中"));
  std::vector<std::string> paths;
  for (const SelectedRow& row : rows) {
    paths.push_back(row.path);
    services_.ProcessPendingEvents();
  }
  SetClipboardData(NewPathMimeData(paths));
  button->setText(QStringLiteral("复制完成"));
  services_.PumpWait(1000);
  button->setText(QStringLiteral("复制路径"));
}

}  // namespace tarnwick
