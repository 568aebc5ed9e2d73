#pragma once
// The table model of 列表框 over the ResultList. Rows appended to the list are announced
// to the view in batches: Flush() announces every row appended since the last flush in
// one insertion. A flush is also queued on the event loop whenever rows are pending, so
// rows appended by any code reach the view without an explicit flush.

#include <QAbstractTableModel>
#include <QIcon>

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

  void Flush();

  void RowsAppended(std::size_t first, std::size_t count) override;
  void RowRemoved(std::size_t index) override;
  void RowChanged(std::size_t index) override;
  void Cleared() override;

 private:
  void QueueFlush();

  ResultList& list_;
  int shownRows_ = 0;     // rows the view has been told of
  int removingRow_ = -1;  // the row being removed, between the two removal signals
  bool flushQueued_ = false;
  QIcon documentIcon_;
};

}  // namespace tarnwick
