#pragma once
// The table model of 列表框 over the ResultList. Rows appended to the list are announced
// to the view in batches: Flush() announces every row appended since the last flush in
// one insertion. A flush is also queued on the event loop whenever rows are pending, so
// rows appended by any code reach the view without an explicit flush.

#include <QAbstractTableModel>
#include <QIcon>
#include <span>
#include <vector>

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

  void RowsAppended(std::size_t first, std::size_t count) override;
  // One removal signal pair per run, the last run first.
  void RowsRemoved(std::span<const RowRun> runs) override;
  void RowChanged(std::size_t index) override;
  void Cleared() override;

 private:
  void QueueFlush();
  // The list's row behind view row `row`; -1 for a row that has left the list but not
  // yet the view.
  int SourceRow(int row) const;

  ResultList& list_;
  int shownRows_ = 0;  // rows the view has been told of
  // While a removal is announced: the runs the view still shows though the list has lost
  // them (ascending), and how many rows the runs up to each one hold together.
  std::vector<RowRun> leavingRuns_;
  std::vector<std::size_t> leavingThrough_;
  bool flushQueued_ = false;
  QIcon documentIcon_;
};

}  // namespace tarnwick
