#include "app/list/result_model.h"

#include <QApplication>
#include <QStyle>
#include <algorithm>
#include <iterator>

#include "app/list/path_display_text.h"
#include "app/list/path_mime_data.h"

namespace tarnwick {
namespace {

struct ColumnInfo {
  const char* header;
  int width;
};

constexpr ColumnInfo kColumns[ResultModel::kColumnCount] = {
    {QT_TRANSLATE_NOOP("tarnwick::ResultModel", "文件名"), 300},
    {QT_TRANSLATE_NOOP("tarnwick::ResultModel", "文件大小"), 100},
    {QT_TRANSLATE_NOOP("tarnwick::ResultModel", "文件时间"), 180},
    {QT_TRANSLATE_NOOP("tarnwick::ResultModel", "内容字数"), 100},
    {QT_TRANSLATE_NOOP("tarnwick::ResultModel", "所在目录"), 700},
};

QString FromUtf8(const std::string& text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

ResultModel::ResultModel(ResultList& list, QObject* parent)
    : QAbstractTableModel(parent),
      list_(list),
      shownRows_(static_cast<int>(list.Count())),
      documentIcon_(QApplication::style()->standardIcon(QStyle::SP_FileIcon)) {
  list_.SetObserver(this);
}

ResultModel::~ResultModel() { list_.SetObserver(nullptr); }

const char* ResultModel::ColumnHeader(int column) { return kColumns[column].header; }
int ResultModel::ColumnWidth(int column) { return kColumns[column].width; }

int ResultModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : shownRows_;
}

int ResultModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : kColumnCount;
}

QVariant ResultModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= shownRows_) return {};
  if (role != Qt::DisplayRole && role != Qt::DecorationRole) return {};
  const int source = SourceRow(index.row());
  if (source < 0 || static_cast<std::size_t>(source) >= list_.Count()) return {};
  if (role == Qt::DecorationRole) return index.column() == 0 ? QVariant(documentIcon_) : QVariant();
  const ResultRow& row = list_.Row(static_cast<std::size_t>(source));
  switch (index.column()) {
    case 0:
      return PathDisplayText(row.name);
    case 1:
      return FromUtf8(row.sizeText);
    case 2:
      return FromUtf8(row.timeText);
    case 3:
      return FromUtf8(row.countText);
    case 4:
      return PathDisplayText(row.folder);
    default:
      return {};
  }
}

QVariant ResultModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
  if (section < 0 || section >= kColumnCount) return {};
  return tr(kColumns[section].header);
}

Qt::ItemFlags ResultModel::flags(const QModelIndex& index) const {
  Qt::ItemFlags flags = QAbstractTableModel::flags(index);
  if (index.isValid()) flags |= Qt::ItemIsDragEnabled;
  return flags;
}

QStringList ResultModel::mimeTypes() const { return {QStringLiteral("text/uri-list")}; }

QMimeData* ResultModel::mimeData(const QModelIndexList& indexes) const {
  // One path per row, in list order, whatever cells of it the drag holds.
  std::vector<std::size_t> rows;
  for (const QModelIndex& index : indexes) {
    const int source = SourceRow(index.row());
    if (source >= 0 && static_cast<std::size_t>(source) < list_.Count())
      rows.push_back(static_cast<std::size_t>(source));
  }
  std::sort(rows.begin(), rows.end());
  rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
  std::vector<std::string> paths;
  for (const std::size_t row : rows) paths.push_back(list_.FullPath(row));
  return NewPathMimeData(paths);
}

Qt::DropActions ResultModel::supportedDragActions() const {
  return Qt::CopyAction | Qt::MoveAction;
}

void ResultModel::Flush() {
  const int total = static_cast<int>(list_.Count());
  if (total <= shownRows_) return;
  beginInsertRows({}, shownRows_, total - 1);
  shownRows_ = total;
  endInsertRows();
}

void ResultModel::QueueFlush() {
  if (flushQueued_) return;
  flushQueued_ = true;
  QMetaObject::invokeMethod(
      this,
      [this] {
        flushQueued_ = false;
        Flush();
      },
      Qt::QueuedConnection);
}

void ResultModel::RowsAppended(std::size_t, std::size_t) { QueueFlush(); }

int ResultModel::SourceRow(int row) const {
  // The list tells of a removal after the fact; until the view has taken note of a run,
  // its rows are still shown and the rows above are found that much earlier in the list.
  const auto above =
      std::upper_bound(leavingRuns_.begin(), leavingRuns_.end(), static_cast<std::size_t>(row),
                       [](std::size_t value, const RowRun& run) { return value < run.first; });
  if (above == leavingRuns_.begin()) return row;
  const auto run = std::prev(above);
  if (static_cast<std::size_t>(row) < run->first + run->count) return -1;
  return row -
         static_cast<int>(leavingThrough_[static_cast<std::size_t>(run - leavingRuns_.begin())]);
}

void ResultModel::RowsRemoved(std::span<const RowRun> runs) {
  // Rows the view was not yet told of leave without a signal.
  const auto shown = static_cast<std::size_t>(shownRows_);
  std::size_t through = 0;
  for (const RowRun& run : runs) {
    if (run.first >= shown) break;
    const RowRun visible{run.first, std::min(run.count, shown - run.first)};
    leavingRuns_.push_back(visible);
    through += visible.count;
    leavingThrough_.push_back(through);
  }
  while (!leavingRuns_.empty()) {
    const RowRun run = leavingRuns_.back();
    const int first = static_cast<int>(run.first);
    beginRemoveRows({}, first, first + static_cast<int>(run.count) - 1);
    leavingRuns_.pop_back();
    leavingThrough_.pop_back();
    shownRows_ -= static_cast<int>(run.count);
    endRemoveRows();
  }
}

void ResultModel::RowChanged(std::size_t index) {
  const int row = static_cast<int>(index);
  if (row >= shownRows_) return;
  emit dataChanged(this->index(row, 0), this->index(row, kColumnCount - 1));
}

void ResultModel::Cleared() {
  beginResetModel();
  shownRows_ = 0;
  endResetModel();
}

}  // namespace tarnwick
