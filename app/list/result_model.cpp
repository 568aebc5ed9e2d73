#include "app/list/result_model.h"

#include <QApplication>
#include <QPalette>
#include <QStyle>
#include <QTimer>
#include <algorithm>
#include <iterator>
#include <numeric>

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

// A tint of the selection colour over the list's background: every other duplicate
// group is drawn in it.
QColor GroupShade() {
  const QPalette palette = QApplication::palette();
  const QColor base = palette.color(QPalette::Base);
  const QColor tint = palette.color(QPalette::Highlight);
  constexpr double kTint = 0.14;
  return QColor::fromRgbF(static_cast<float>(base.redF() * (1 - kTint) + tint.redF() * kTint),
                          static_cast<float>(base.greenF() * (1 - kTint) + tint.greenF() * kTint),
                          static_cast<float>(base.blueF() * (1 - kTint) + tint.blueF() * kTint));
}

}  // namespace

ResultModel::ResultModel(ResultList& list, QObject* parent)
    : QAbstractTableModel(parent),
      list_(list),
      shownRows_(static_cast<int>(list.Count())),
      documentIcon_(QApplication::style()->standardIcon(QStyle::SP_FileIcon)),
      groupShade_(GroupShade()) {
  list_.SetObserver(this);
  ShadeFrom(0);
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
  if (role != Qt::DisplayRole && role != Qt::DecorationRole && role != Qt::BackgroundRole)
    return {};
  const int position = Position(index.row());
  const std::optional<std::size_t> source = ListRow(index.row());
  if (!source) return {};
  if (role == Qt::BackgroundRole) {
    const auto at = static_cast<std::size_t>(position);
    return at < shaded_.size() && shaded_[at] ? QVariant(groupShade_) : QVariant();
  }
  if (role == Qt::DecorationRole) return index.column() == 0 ? QVariant(documentIcon_) : QVariant();
  const ResultRow& row = list_.Row(*source);
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
  // One path per row, in the order shown, whatever cells of it the drag holds.
  std::vector<int> viewRows;
  for (const QModelIndex& index : indexes) viewRows.push_back(index.row());
  std::sort(viewRows.begin(), viewRows.end());
  viewRows.erase(std::unique(viewRows.begin(), viewRows.end()), viewRows.end());
  std::vector<std::string> paths;
  for (const int viewRow : viewRows) {
    if (const std::optional<std::size_t> row = ListRow(viewRow))
      paths.push_back(list_.FullPath(*row));
  }
  return NewPathMimeData(paths);
}

Qt::DropActions ResultModel::supportedDragActions() const {
  return Qt::CopyAction | Qt::MoveAction;
}

void ResultModel::Flush() {
  const int total = static_cast<int>(list_.Count());
  if (total <= shownRows_) return;
  const int first = shownRows_;
  beginInsertRows({}, first, total - 1);
  if (order_) {
    for (int row = first; row < total; ++row) sorted_.push_back(static_cast<std::uint32_t>(row));
  }
  shownRows_ = total;
  ShadeFrom(static_cast<std::size_t>(first));
  endInsertRows();
  // Sorted: the new rows, shown at the end for a moment, go to their places.
  if (order_) {
    const bool merge = !sortedStale_ && !HasGroups(list_);
    Reorder(order_, merge ? std::optional<std::size_t>(first) : std::nullopt);
  }
}

void ResultModel::FlushSoon() {
  if (!order_ || !sinceReorder_.isValid()) {
    Flush();
    return;
  }
  // The window spends at most about a fifth of its time placing rows.
  const qint64 wait = std::max<qint64>(250, 4 * reorderCost_) - sinceReorder_.elapsed();
  if (wait <= 0) {
    Flush();
    return;
  }
  if (sortedFlushTimed_) return;
  sortedFlushTimed_ = true;
  QTimer::singleShot(static_cast<int>(wait), this, [this] {
    sortedFlushTimed_ = false;
    FlushSoon();
  });
}

void ResultModel::QueueFlush() {
  if (flushQueued_) return;
  flushQueued_ = true;
  QMetaObject::invokeMethod(
      this,
      [this] {
        flushQueued_ = false;
        FlushSoon();
      },
      Qt::QueuedConnection);
}

void ResultModel::RowsAppended(std::size_t, std::size_t) { QueueFlush(); }

int ResultModel::Position(int row) const {
  // The list tells of a removal after the fact; until the view has taken note of a run,
  // its rows are still shown and the rows below them sit that much further down.
  const auto above =
      std::upper_bound(leavingRuns_.begin(), leavingRuns_.end(), static_cast<std::size_t>(row),
                       [](std::size_t value, const RowRun& run) { return value < run.first; });
  if (above == leavingRuns_.begin()) return row;
  const auto run = std::prev(above);
  if (static_cast<std::size_t>(row) < run->first + run->count) return -1;
  return row -
         static_cast<int>(leavingThrough_[static_cast<std::size_t>(run - leavingRuns_.begin())]);
}

std::optional<std::size_t> ResultModel::ListRow(int viewRow) const {
  if (viewRow < 0 || viewRow >= shownRows_) return std::nullopt;
  const int position = Position(viewRow);
  if (position < 0) return std::nullopt;
  const auto at = static_cast<std::size_t>(position);
  if (order_) {
    if (at >= sorted_.size()) return std::nullopt;
    return sorted_[at];
  }
  if (at >= list_.Count()) return std::nullopt;
  return at;
}

void ResultModel::ClickColumn(int column) {
  if (column < 0 || column >= kColumnCount) return;
  const auto clicked = static_cast<SortColumn>(column);
  std::optional<SortOrder> next = SortOrder{clicked, false};
  if (order_ && order_->column == clicked)
    next = order_->descending ? std::nullopt : std::optional<SortOrder>(SortOrder{clicked, true});
  Flush();
  Reorder(next, std::nullopt);
}

void ResultModel::Reorder(std::optional<SortOrder> order, std::optional<std::size_t> mergeFrom) {
  QElapsedTimer cost;
  cost.start();
  emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
  // The list index of each shown row before, and the shown row of each list index after.
  std::vector<std::uint32_t> before;
  if (order_) {
    before = sorted_;
  } else {
    before.resize(static_cast<std::size_t>(shownRows_));
    std::iota(before.begin(), before.end(), 0u);
  }
  if (order && mergeFrom) {
    sorted_.resize(*mergeFrom);
    MergeNewRows(sorted_, list_, *order);
  } else if (order) {
    sorted_ = SortedRows(list_, *order);
  } else {
    sorted_.clear();
  }
  order_ = order;
  sortedStale_ = false;
  std::vector<std::uint32_t> shownAt(before.size());
  if (order_) {
    for (std::size_t at = 0; at < sorted_.size(); ++at)
      shownAt[sorted_[at]] = static_cast<std::uint32_t>(at);
  } else {
    std::iota(shownAt.begin(), shownAt.end(), 0u);
  }
  const QModelIndexList from = persistentIndexList();
  QModelIndexList to;
  to.reserve(from.size());
  for (const QModelIndex& index : from) {
    const auto at = static_cast<std::size_t>(index.row());
    to.append(at < before.size()
                  ? this->index(static_cast<int>(shownAt[before[at]]), index.column())
                  : QModelIndex());
  }
  changePersistentIndexList(from, to);
  ShadeFrom(0);
  emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
  reorderCost_ = cost.elapsed();
  sinceReorder_.start();
}

void ResultModel::ShadeFrom(std::size_t first) {
  shaded_.resize(static_cast<std::size_t>(shownRows_));
  if (first == 0) shade_ = {};
  for (std::size_t at = first; at < shaded_.size(); ++at) {
    const std::size_t row = order_ ? sorted_[at] : at;
    const std::uint32_t group = list_.Row(row).group;
    if (group != 0 && group != shade_.group) shade_.groupShaded = !shade_.groupShaded;
    shaded_[at] = group != 0 && shade_.groupShaded;
    shade_.group = group;
  }
}

void ResultModel::RowsRemoved(std::span<const RowRun> runs) {
  // Rows the view was not yet told of leave without a signal.
  const auto shown = static_cast<std::size_t>(shownRows_);
  std::size_t through = 0;
  auto leave = [this, &through](RowRun run) {
    leavingRuns_.push_back(run);
    through += run.count;
    leavingThrough_.push_back(through);
  };
  if (order_) {
    // The shown rows that leave, by position, and the new list index of those that stay:
    // lower by the rows removed before it.
    std::vector<std::size_t> removedThrough;  // rows removed up to the end of each run
    for (const RowRun& run : runs)
      removedThrough.push_back((removedThrough.empty() ? 0 : removedThrough.back()) + run.count);
    std::vector<std::uint32_t> staying;
    staying.reserve(sorted_.size());
    std::optional<RowRun> leaving;
    for (std::size_t at = 0; at < sorted_.size(); ++at) {
      const std::size_t row = sorted_[at];
      const auto after =
          std::upper_bound(runs.begin(), runs.end(), row,
                           [](std::size_t value, const RowRun& run) { return value < run.first; });
      const auto before = static_cast<std::size_t>(after - runs.begin());
      if (before > 0 && row < runs[before - 1].first + runs[before - 1].count) {
        if (leaving && leaving->first + leaving->count == at) {
          ++leaving->count;
        } else {
          if (leaving) leave(*leaving);
          leaving = RowRun{at, 1};
        }
        continue;
      }
      staying.push_back(
          static_cast<std::uint32_t>(row - (before > 0 ? removedThrough[before - 1] : 0)));
    }
    if (leaving) leave(*leaving);
    sorted_ = std::move(staying);
  } else {
    for (const RowRun& run : runs) {
      if (run.first >= shown) break;
      leave({run.first, std::min(run.count, shown - run.first)});
    }
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
  // Groups that now meet may share a shade: it is worked out anew.
  ShadeFrom(0);
  if (shownRows_ > 0)
    emit dataChanged(index(0, 0), index(shownRows_ - 1, kColumnCount - 1), {Qt::BackgroundRole});
}

void ResultModel::RowChanged(std::size_t index) {
  if (order_) {
    // Where the row is shown is not kept at hand; the view repaints what it shows.
    sortedStale_ = true;
    if (shownRows_ > 0)
      emit dataChanged(this->index(0, 0), this->index(shownRows_ - 1, kColumnCount - 1));
    return;
  }
  const int row = static_cast<int>(index);
  if (row >= shownRows_) return;
  emit dataChanged(this->index(row, 0), this->index(row, kColumnCount - 1));
}

void ResultModel::Cleared() {
  beginResetModel();
  shownRows_ = 0;
  sorted_.clear();
  shaded_.clear();
  shade_ = {};
  sortedStale_ = false;
  endResetModel();
}

}  // namespace tarnwick
