#pragma once
// The short operations on 列表框 that work on the list as a whole: select all, export
// of the path list and files dropped onto the window. None of them is refused while a
// filter job runs.

#include <QStringList>
#include <string>
#include <vector>

#include "engine/job/option_controls.h"
#include "results/result_list.h"

class QMimeData;
class QPushButton;
class QTableView;

namespace tarnwick {

class EventPump;
struct WindowPlatform;

// Selects every row and gives the list the keyboard focus.
void SelectAllRows(QTableView* view);

// 按钮导出: asks for a file, writes the path list with the button reading "导出中", then
// shows "完成" for a second; a file that cannot be written is reported instead.
void ExportPathList(QPushButton* button, const ResultList& list, const WindowPlatform& platform,
                    EventPump& pump);

// The local files of a drop as raw path bytes, in the order dropped.
std::vector<std::string> DroppedPaths(const QMimeData& data);

// Lists each dropped path that is not a folder (a path that cannot be looked at counts
// as a folder). Without `append` the list is emptied first.
void AddDroppedFiles(ResultList& list, const OptionControls& options,
                     const std::vector<std::string>& paths, bool append, EventPump& pump);

}  // namespace tarnwick
