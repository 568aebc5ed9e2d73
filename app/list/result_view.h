#pragma once
// The view of 列表框: a multi-select, full-row table with fixed row heights, fit for a
// million rows, sorted by a click on a column's header.

class QTableView;
class QWidget;

namespace tarnwick {

class ResultModel;

QTableView* CreateResultView(QWidget* parent, ResultModel* model);

}  // namespace tarnwick
