#pragma once
// The table model of 列表框 over the ResultList. Rows appended to the list are announced
// to the view in batches: Flush() announces every row appended since the last flush in
// one insertion. A flush is also queued on the event loop whenever rows are pending, so
// rows appended by any code reach the view without an explicit flush.
//
// The view shows the rows in the order they were added (the job's order) or sorted by
// a column (row_order.h); the rows of one duplicate group are shaded alike, the next
// group's otherwise, so a group's end shows. View rows are not list indexes: ListRow
// tells which row of the list a view row shows.

#include <QAbstractTableModel>
#include <QColor>
#include <QElapsedTimer>
#include <QIcon>
#include <optional>
#include <span>
#include <vector>

#include "app/list/row_order.h"
#include "results/result_list.h"

namespace tarnwick {

class ResultModel final : public QAbstractTableModel, public ResultList::Observer {
  Q_OBJECT

 public:
  // Observes `list` until destroyed; `list` must outlive the model.
  explicit ResultModel(ResultList& list, QObject* parent = nullptr);
  ~ResultModel() override;

  static constexpr int kColumnCount = 5;
  // Header text and initial width of each column.
  static const char* ColumnHeader(int column);
  static int ColumnWidth(int column);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  // Rows dragged out of the list carry their files' paths (NewPathMimeData), so a file
  // manager can copy or move them.
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  QStringList mimeTypes() const override;
  QMimeData* mimeData(const QModelIndexList& indexes) const override;
  Qt::DropActions supportedDragActions() const override;

  void Flush();
  // The same in the job's order. While sorted, placing new rows costs time in the list's
  // length: they are placed at most every so often, the rest later by a timer.
  void FlushSoon();

  // The index in the list of the row the view shows at `viewRow`; nullopt for a row
  // that is leaving the view, or outside it.
  std::optional<std::size_t> ListRow(int viewRow) const;

  // A click on a column's header: the first sorts by it rising, the second falling,
  // the third returns to the job's order. A click on another column starts over there.
  void ClickColumn(int column);
  // The order shown; nullopt for the job's.
  std::optional<SortOrder> Order() const { return order_; }

  void RowsAppended(std::size_t first, std::size_t count) override;
  // One removal signal pair per run of view rows, the last run first.
  void RowsRemoved(std::span<const RowRun> runs) override;
  void RowChanged(std::size_t index) override;
  void Cleared() override;

 private:
  void QueueFlush();
  // The position in the shown order of view row `row`: the list index in the job's
  // order, else an index into sorted_; -1 for a row that is leaving.
  int Position(int row) const;
  // Puts the shown rows in `order` (nullopt: the job's), keeping the selection and the
  // current row on their files; with `mergeFrom` the rows shown from that position on
  // (just added) are put in their places among the others, which are in order.
  void Reorder(std::optional<SortOrder> order, std::optional<std::size_t> mergeFrom);
  // Which shown rows are shaded, from position `first` on: duplicate groups alternate.
  void ShadeFrom(std::size_t first);

  ResultList& list_;
  int shownRows_ = 0;  // rows the view has been told of
  std::optional<SortOrder> order_;
  // While sorted: the list index of each shown row, in the order shown.
  std::vector<std::uint32_t> sorted_;
  // A row changed while sorted may now stand out of order: the next rows that come are
  // placed by a whole sort, not merged.
  bool sortedStale_ = false;
  // While a removal is announced: the runs the view still shows though the list has lost
  // them (ascending, by position), and how many rows the runs up to each one hold.
  std::vector<RowRun> leavingRuns_;
  std::vector<std::size_t> leavingThrough_;
  std::vector<bool> shaded_;  // by position
  struct ShadeState {
    std::uint32_t group = 0;  // of the last position shaded
    bool groupShaded = true;  // whether the last group seen is shaded
  } shade_;
  bool flushQueued_ = false;
  bool sortedFlushTimed_ = false;  // a timer will place the rows still pending
  QElapsedTimer sinceReorder_;     // since rows were last placed while sorted
  qint64 reorderCost_ = 0;         // what that took, in milliseconds
  QIcon documentIcon_;
  QColor groupShade_;
};

}  // namespace tarnwick
