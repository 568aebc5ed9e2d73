#include "app/list/result_view.h"

#include <QHeaderView>
#include <QTableView>

#include "app/controls/control_roster.h"
#include "app/list/result_model.h"

namespace tarnwick {

QTableView* CreateResultView(QWidget* parent, ResultModel* model) {
  auto* view = new QTableView(parent);
  view->setObjectName(QString::fromUtf8(control::kResultList));
  view->setModel(model);
  view->setSelectionMode(QAbstractItemView::ExtendedSelection);
  view->setSelectionBehavior(QAbstractItemView::SelectRows);
  view->setEditTriggers(QAbstractItemView::NoEditTriggers);
  view->setShowGrid(false);
  view->setWordWrap(false);
  view->setIconSize(QSize(20, 20));
  view->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
  // Rows can be dragged out to a file manager; drops land on the window, not the list.
  view->setDragDropMode(QAbstractItemView::DragOnly);
  view->setDefaultDropAction(Qt::CopyAction);

  // Fixed row heights: the view never measures rows, whatever their number.
  QHeaderView* rows = view->verticalHeader();
  rows->setSectionResizeMode(QHeaderView::Fixed);
  rows->setDefaultSectionSize(22);
  rows->hide();

  QHeaderView* columns = view->horizontalHeader();
  columns->setSectionResizeMode(QHeaderView::Interactive);
  columns->setStretchLastSection(false);
  columns->setHighlightSections(false);
  columns->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  for (int column = 0; column < ResultModel::kColumnCount; ++column)
    view->setColumnWidth(column, ResultModel::ColumnWidth(column));

  // A click on a header sorts by its column, a second reverses, a third returns to the
  // job's order; the arrow shows which.
  columns->setSectionsClickable(true);
  columns->setSortIndicatorShown(true);
  columns->setSortIndicator(-1, Qt::AscendingOrder);
  QObject::connect(columns, &QHeaderView::sectionClicked, view, [model, columns](int column) {
    model->ClickColumn(column);
    const std::optional<SortOrder> order = model->Order();
    if (!order) {
      columns->setSortIndicator(-1, Qt::AscendingOrder);
      return;
    }
    columns->setSortIndicator(static_cast<int>(order->column),
                              order->descending ? Qt::DescendingOrder : Qt::AscendingOrder);
  });

  view->setGeometry(384, 176, 664, 472);
  return view;
}

}  // namespace tarnwick
