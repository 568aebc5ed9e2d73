#include "app/operations/file_operations.h"

#include <QItemSelectionModel>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QShortcut>
#include <QTableView>
#include <algorithm>
#include <utility>

#include "app/controls/control_roster.h"
#include "app/list/result_model.h"

namespace tarnwick {

FileOperations::FileOperations(AppServices& services, FileOperationsPlatform platform)
    : QObject(services.MainWidget()),
      services_(services),
      platform_(std::move(platform)),
      progressBar_(services.MainWidget()->findChild<QProgressBar*>(
          QString::fromUtf8(control::kProgressBar))),
      progressText_(
          services.MainWidget()->findChild<QLabel*>(QString::fromUtf8(control::kProgressText))) {
  const std::pair<const char*, void (FileOperations::*)()> buttons[] = {
      {"按钮删除", &FileOperations::DeleteSelected},
      {"按钮移动", &FileOperations::MoveSelected},
      {"按钮复制", &FileOperations::CopySelected},
      {"按钮打开", &FileOperations::OpenSelected},
      {"按钮定位", &FileOperations::LocateSelected},
      {"按钮查看", &FileOperations::ViewFirstSelected},
      {"按钮复制路径", &FileOperations::CopySelectedPaths},
  };
  for (const auto& [name, operation] : buttons) {
    connect(Button(name), &QPushButton::clicked, this, [this, operation] { (this->*operation)(); });
  }

  QTableView* view = services_.ListView();
  const std::pair<QKeySequence, void (FileOperations::*)()> keys[] = {
      {QKeySequence(Qt::Key_Delete), &FileOperations::DeleteSelectedToTrash},
      {QKeySequence(Qt::SHIFT | Qt::Key_Delete), &FileOperations::DeleteSelectedForGood},
      {QKeySequence(Qt::Key_Return), &FileOperations::OpenSelected},
      {QKeySequence(Qt::Key_Enter), &FileOperations::OpenSelected},
      {QKeySequence::Copy, &FileOperations::CopySelectedPaths},
  };
  for (const auto& [key, operation] : keys) {
    new QShortcut(
        key, view, this, [this, operation] { (this->*operation)(); },
        Qt::WidgetWithChildrenShortcut);
  }
  connect(view, &QTableView::doubleClicked, this, [this] { OpenSelected(); });
  view->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(view, &QTableView::customContextMenuRequested, this, [this] { LocateSelected(); });
  connect(view, &QTableView::clicked, this, [this] { QueueViewerRefresh(); });
  connect(view->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
          [this] { QueueViewerRefresh(); });
}

std::vector<std::size_t> FileOperations::SelectedIndexes() const {
  std::vector<int> viewRows;
  // Whole selection ranges, not one index per cell: a million selected rows stay cheap.
  for (const QItemSelectionRange& range : services_.ListView()->selectionModel()->selection()) {
    for (int row = range.top(); row <= range.bottom(); ++row) viewRows.push_back(row);
  }
  std::sort(viewRows.begin(), viewRows.end());
  viewRows.erase(std::unique(viewRows.begin(), viewRows.end()), viewRows.end());
  // The list's rows behind them, in the order shown (the list sorted by a column or not).
  const auto* model = qobject_cast<const ResultModel*>(services_.ListView()->model());
  std::vector<std::size_t> indexes;
  indexes.reserve(viewRows.size());
  const std::size_t count = services_.List().Count();
  for (const int viewRow : viewRows) {
    const std::optional<std::size_t> row =
        model ? model->ListRow(viewRow) : std::optional<std::size_t>(viewRow);
    if (row && *row < count) indexes.push_back(*row);
  }
  return indexes;
}

std::vector<FileOperations::SelectedRow> FileOperations::SelectionSnapshot() const {
  std::vector<SelectedRow> rows;
  for (const std::size_t index : SelectedIndexes()) {
    rows.push_back({index, services_.List().FullPath(index)});
  }
  return rows;
}

bool FileOperations::StillListed(const SelectedRow& row) const {
  const ResultList& list = services_.List();
  return row.index < list.Count() && list.FullPath(row.index) == row.path;
}

void FileOperations::BeginProgress(int total) {
  progressBar_->setMaximum(total);
  progressBar_->setValue(0);
  progressText_->clear();
}

void FileOperations::ShowProgress(int position, const QString& text) {
  progressBar_->setValue(position);
  progressText_->setText(text);
}

void FileOperations::EndProgress(const QString& summary) {
  progressBar_->setValue(0);
  progressText_->setText(summary);
}

QPushButton* FileOperations::Button(const char* name) const {
  auto* button = services_.MainWidget()->findChild<QPushButton*>(QString::fromUtf8(name));
  Q_ASSERT(button);
  return button;
}

FileOperations* AttachFileOperations(AppServices& services, FileOperationsPlatform platform) {
  return new FileOperations(services, std::move(platform));
}

}  // namespace tarnwick
