#pragma once
// The resemblance of the current row's file to the first file of its 相似 group, shown at
// the right of the status line while such a row is the list's current one: the list
// stays the five columns of every job, and the figure is there when a row is looked at.

class QStatusBar;
class QTableView;

namespace tarnwick {

class ResultList;

// Adds the label (object name 标签行相似度) to `statusBar` and keeps it following the
// current row of `view`, which shows `list`. All three must outlive the label.
void AttachResemblanceLabel(QTableView* view, const ResultList& list, QStatusBar* statusBar);

}  // namespace tarnwick
